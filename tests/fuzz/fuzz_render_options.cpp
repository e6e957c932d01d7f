// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// libFuzzer target: zep-render's command line. The input is the arguments
// separated by zero bytes; those accepted are planned against the demo's
// length at their frame rate.
#include <cstdint>
#include <string>
#include <vector>

#include "render/render_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back() += static_cast<char>(data[i]);
    }
    std::string error;
    const auto options = zep::render::ParseRenderOptions(args, error);
    if (!options) {
        if (error.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    if (options->fps < 1.0 || options->fps > 1000.0 || options->from < 1 || options->scale < 1 ||
        options->scale > 8)
        __builtin_trap();
    const auto plan = zep::render::PlanFrames(*options, error);
    if (!plan && error.empty()) __builtin_trap();
    // A plan always writes at least one frame.
    if (plan && (plan->from > plan->total || plan->last > plan->total || plan->last < plan->from))
        __builtin_trap();
    return 0;
}

// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "scenes/code_paths.h"

#include "core/code_path.h"

// The copies' scene lists, each in its own namespace (scenes/scenes.h).
#if defined(ZEP_WITH_AVX2_PATH)
namespace zep::avx2 {
extern const DemoScenes kDemoScenes;
}
#endif
namespace zep::ZEP_CODE_PATH {
extern const DemoScenes kDemoScenes;
}

namespace zep {
namespace {

bool AnyCpu() { return true; }

#if defined(ZEP_WITH_AVX2_PATH)
// The run-time library's CPUID check, which also asks the operating system
// whether it saves the 256-bit registers.
bool HasAvx2() { return __builtin_cpu_supports("avx2"); }
constexpr CodePath kAvx2{"avx2", HasAvx2, &avx2::kDemoScenes};
#endif
// The build's own copy: for any CPU of its kind, or the build machine's.
constexpr CodePath kFirst{ZEP_CODE_PATH_NAME, AnyCpu, &ZEP_CODE_PATH::kDemoScenes};

constexpr const CodePath* kBuilt[] = {
#if defined(ZEP_WITH_AVX2_PATH)
    &kAvx2,
#endif
    &kFirst,
};

const CodePath* g_current = nullptr;

std::string NameList(std::span<const CodePath* const> built) {
    std::string names;
    for (const CodePath* path : built) names += std::string(path->name) + ", ";
    return names + "auto";
}

}  // namespace

std::span<const CodePath* const> BuiltCodePaths() { return kBuilt; }

const CodePath* ChooseCodePath(std::string_view request, std::span<const CodePath* const> built,
                               std::string& error) {
    for (const CodePath* path : built) {
        if (request == "auto" && path->cpu_runs()) return path;
        if (request != path->name) continue;
        if (path->cpu_runs()) return path;
        error = "--cpu " + std::string(request) + ": this CPU cannot run the " + path->name +
                " code (choose one of " + NameList(built) + ")";
        return nullptr;
    }
    if (request == "auto") {
        error = "--cpu auto: this CPU runs none of the code this build holds";
    } else if (request == "baseline" || request == "avx2" || request == "native") {
        error = "--cpu " + std::string(request) + ": this build holds no " + std::string(request) +
                " code (choose one of " + NameList(built) + ")";
    } else {
        error = "--cpu needs one of " + NameList(built) + " (got '" + std::string(request) + "')";
    }
    return nullptr;
}

void UseCodePath(const CodePath& path) { g_current = &path; }

const CodePath& CurrentCodePath() {
    if (!g_current) {
        std::string error;
        g_current = ChooseCodePath("auto", kBuilt, error);
    }
    return *g_current;
}

DemoScenes DemoSequence() { return *CurrentCodePath().scenes; }

}  // namespace zep

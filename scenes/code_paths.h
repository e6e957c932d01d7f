// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The copies of the scenes and fillers a build holds (core/code_path.h),
// and the one this run uses. Every copy draws the same frames; they differ
// only in the instructions the compiler was allowed to use.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "scenes/scene.h"

namespace zep {

struct CodePath {
    const char* name;             // "avx2", "baseline" or "native"
    bool (*cpu_runs)();           // whether this CPU has what the copy needs
    const DemoScenes* scenes;     // the copy's scenes, in order
};

// The copies this build holds, most capable first: on x86-64 a generic build
// has avx2 and baseline, a native build (ZEP_NATIVE) only native; other
// processors have baseline alone.
std::span<const CodePath* const> BuiltCodePaths();

// The copy a --cpu value names among `built`: "auto" is the first one this
// CPU runs. Nullptr, with `error` saying why, for an unknown name or a copy
// the build lacks or this CPU cannot run.
const CodePath* ChooseCodePath(std::string_view request, std::span<const CodePath* const> built,
                               std::string& error);

// The copy DemoSequence() and the benchmarks use; chosen once at start-up,
// before the first frame. Until then the best one this CPU runs.
void UseCodePath(const CodePath& path);
const CodePath& CurrentCodePath();

// The demo's scenes in order, as the current copy runs them.
DemoScenes DemoSequence();

}  // namespace zep

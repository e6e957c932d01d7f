// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The headless platform: no window and no sound. The console keeps its
// picture in memory, the timer is virtual (the k-th read returns k / fps), a
// key press can be scripted, and the sound output takes no samples.
#pragma once

#include <memory>

#include "shell/platform.h"

namespace zep {

struct HeadlessOptions {
    double fps = 60.0;
    long key_after_frame = -1;   // key pending once this many frames were shown; -1: never
    const char* program = "zep";     // the name its messages begin with
    bool build_ahead = true;         // see Platform::BuildsAhead
};

std::unique_ptr<Platform> MakeHeadlessPlatform(HeadlessOptions options = {});

}  // namespace zep

// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The desktop platform: an SDL2 window, the SDL2 audio device, and a timer
// that follows the music as heard (the steady clock while there is no device
// position to follow).
#pragma once

#include <memory>

#include "shell/platform.h"
#include "shell/window_platform.h"

namespace zep {

std::unique_ptr<Platform> MakeSdlPlatform(const WindowOptions& options = {});

// The SDL2 audio device as a sound output: stereo 16-bit at `rate` Hz; null
// when SDL cannot open one (SDL_AUDIODRIVER=dummy stands in for a sound card).
// With `verbose`, a line on standard error names the driver, the device and
// the buffer.
std::unique_ptr<AudioStream> OpenSdlAudio(int rate, AudioPull pull, bool verbose = false);

}  // namespace zep

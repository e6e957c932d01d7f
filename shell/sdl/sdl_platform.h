// The desktop platform: an SDL2 window, the SDL2 audio device, and a timer
// that follows the music as heard (the steady clock while there is no device
// position to follow).
#pragma once

#include <memory>

#include "shell/platform.h"

namespace zep {

std::unique_ptr<Platform> MakeSdlPlatform();

// The SDL2 audio device as a sound output: stereo 16-bit at `rate` Hz; null
// when SDL cannot open one (SDL_AUDIODRIVER=dummy stands in for a sound card).
std::unique_ptr<AudioStream> OpenSdlAudio(int rate, AudioPull pull);

}  // namespace zep

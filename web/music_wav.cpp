// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep-music-wav MODULE SECONDS OUT.wav: the module rendered by the desktop's
// player from its start, 44100 Hz stereo 16-bit, for the browser build to
// encode and play.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/outputs.h"
#include "core/process.h"

namespace {

int MusicWav(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zep-music-wav MODULE SECONDS OUT.wav\n");
        return 2;
    }
    char* end = nullptr;
    const double seconds = std::strtod(argv[2], &end);
    if (end == argv[2] || *end != '\0' || !(seconds > 0.0 && seconds < 3600.0)) {
        std::fprintf(stderr, "zep-music-wav: SECONDS must be a number above 0 (got '%s')\n", argv[2]);
        return 2;
    }
    try {
        zep::render::RenderMusicWav(argv[1], 0.0, seconds, argv[3]);
    } catch (const zep::render::OutputError& e) {
        std::fprintf(stderr, "zep-music-wav: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    zep::KeepStandardStreamsOpen();
    return zep::RunGuarded("zep-music-wav", [&] { return MusicWav(argc, argv); });
}

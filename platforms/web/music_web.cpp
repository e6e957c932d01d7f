// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Modules in the browser: the page plays the module as rendered at build time
// by the desktop's player (music.m4a beside the page), so the browser build
// has no decoder. Loading reads no file and gives a placeholder module; the
// page's sound output (web_platform.cpp) pulls no samples, and starting it
// starts the page's music, whose clock the timer reads.
#include "shell/music.h"

namespace zep {

struct MusicModule {};

void MusicModuleDeleter::operator()(MusicModule* module) const { delete module; }

MusicModulePtr LoadModuleFile(const std::string& path, int& error) {
    (void)path;
    error = kMusicNoError;
    return MusicModulePtr(new MusicModule);
}

// The page seeks its recording itself (the output's start is given the time).
void SeekModule(MusicModule& module, double seconds) {
    (void)module;
    (void)seconds;
}

std::size_t RenderModule(MusicModule& module, int rate, std::size_t frames, std::int16_t* out) {
    (void)module;
    (void)rate;
    (void)frames;
    (void)out;
    return 0;
}

}  // namespace zep

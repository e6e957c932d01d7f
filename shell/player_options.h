// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The command line of zep, the player. With no options it plays the demo as
// it always has; the options are for viewers: fullscreen, another monitor or
// data folder, a start at a moment, playing in a loop, and lines for a bug
// report.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zep {

struct PlayerOptions {
    bool help = false;
    bool version = false;
    bool fullscreen = false;
    int display = -1;          // the monitor for fullscreen, from 0; -1: the window's own
    std::string data_dir = ".";
    long first_frame = 1;      // --start: the first frame shown (shell/start_moment.h)
    bool loop = false;         // play again after the end, until a key
    bool verbose = false;      // the video and sound set-up on standard error
};

extern const char* const kPlayerUsage;

// Parses argv (without the program's name); on a bad option returns nullopt
// with `error` naming what is wrong. Options take their value as the next
// argument or after '=' (--start=86).
std::optional<PlayerOptions> ParsePlayerOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace zep

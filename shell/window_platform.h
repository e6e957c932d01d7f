// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The platform zep's window runs on, chosen when zep is built: the folder
// under platforms/ that CMake's ZEP_WINDOW names (sdl by default) defines it.
#pragma once

#include <memory>

#include "shell/platform.h"

namespace zep {

// What the viewer asked of the window on the command line.
struct WindowOptions {
    bool fullscreen = false;  // start in fullscreen
    int display = -1;         // the monitor for fullscreen; -1: the one the window opens on
    bool verbose = false;     // the video and sound set-up on standard error
    bool keep_window = false; // one window for every run made on this platform (--loop)
};

std::unique_ptr<Platform> MakeWindowPlatform(const WindowOptions& options = {});

// Called first thing by the program: when its standard output or standard
// error leads nowhere (no console, file or pipe: on Windows, a program of the
// GUI subsystem started by a double-click), runs the program once more with
// those streams collected, waits for it, shows what it printed in a way the
// platform has (a message box titled `title`), and returns that run's exit
// status. Otherwise, and where every stream always leads somewhere, returns
// -1 and the caller goes on as usual.
int RunShowingLostOutput(const char* title);

}  // namespace zep

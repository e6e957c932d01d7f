// The platform zep's window runs on, chosen when zep is built: the folder
// under shell/ that CMake's ZEP_WINDOW names (sdl by default) defines it.
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

}  // namespace zep

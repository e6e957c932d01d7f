// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep's window on an X display. Xlib's default handlers end the process with
// exit(1) and lines of their own when a request fails (the window destroyed
// under zep) or the connection breaks (the X server went away); these
// replace them, so zep ends with its own line and its own status. They are
// installed only where SDL has loaded Xlib: zep itself links no X library.
#pragma once

#include <string>

struct SDL_Window;

namespace zep::x11 {

// Installs the handlers if this process uses Xlib; else does nothing. A
// failed request is kept for TakeError(); a broken connection ends the
// process at once (Xlib allows nothing else) with a line on standard error
// and status 1.
void WatchErrors();

// The failed request seen since the last call, as a message (empty if none);
// cleared by the call.
std::string TakeError();

// True once a failed request was seen: the window is gone, and closing it
// or the display would only fail again (and Xlib's own handler, which SDL
// puts back as it closes, would end the process with lines of its own).
bool Lost();
// Clears Lost() after the window's set-up, whose failed requests (an OpenGL
// context refused) were answered by choosing another way to draw.
void ForgetLost();

// True when the window's X screen has a window manager: one that keeps
// _NET_SUPPORTING_WM_CHECK on the root window. False where there is none
// (a bare X server) and where the window is not on X at all.
bool HasWindowManager(SDL_Window* window);

}  // namespace zep::x11

// Windows: a program built for the GUI subsystem and started by a
// double-click has no console, so what it writes to standard output and
// standard error would be lost.
#pragma once

namespace zep {

// When standard output or standard error leads nowhere (no console, no file,
// no pipe), collects what is written there and shows it in a message box
// titled `title` when the program exits. Where the streams lead somewhere,
// does nothing. Call once, at the start of main().
void ShowLostOutputAtExit(const char* title);

}  // namespace zep

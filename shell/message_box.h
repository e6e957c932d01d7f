// Windows: a program built for the GUI subsystem and started by a
// double-click has no console, and no standard output or standard error to
// write to: what it prints would be lost.
#pragma once

namespace zep {

// When standard output or standard error leads nowhere (no console, no file,
// no pipe), runs this program once more with that stream collected, waits for
// it, shows what it printed in a message box titled `title`, and returns its
// exit status. Otherwise returns -1 and the caller goes on as usual.
int RunWithLostOutputInMessageBox(const char* title);

}  // namespace zep

// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Safety steps every program of the project takes at its entry point.
#pragma once

#include <functional>
#include <string>

namespace zep {

// Makes sure descriptors 0, 1 and 2 are open before anything else is opened,
// so that no file, socket or pipe the program opens later can take the place
// of a closed standard stream and receive its text. A closed stream is put
// back as /dev/null opened for reading only: reads see the end of the file,
// and writes still fail as they would on the closed stream.
void KeepStandardStreamsOpen();

// SIGINT, SIGTERM, SIGHUP (a closed terminal) and SIGQUIT set a flag instead
// of ending the process, so a program can stop at a point of its choosing
// (the next frame) and clean up. A signal ignored from the start (nohup)
// stays ignored. No SA_RESTART: a blocking write or wait returns early.
void CatchInterrupts();
// The handler CatchInterrupts installs: it records the signal.
extern "C" void OnInterrupt(int signal);
// The interrupting signal, or 0.
int Interrupted();
// Ends the process as the interrupting signal would have, without a core
// dump: a shell or a supervisor sees that signal, not an exit status.
[[noreturn]] void EndByInterrupt(int signal);

// Runs `body` and returns its status; an exception that escapes it is
// reported as "<program>: ..." on standard error and ends with status 2.
int RunGuarded(const char* program, const std::function<int()>& body);

// Writes `text` (the help text, the version) to standard output. 0 when it
// was written; otherwise says on standard error that `what` could not be
// written, and why, and returns 2.
int PrintToStandardOutput(const char* program, const std::string& text, const char* what);

}  // namespace zep

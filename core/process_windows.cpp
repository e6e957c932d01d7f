// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The Windows side of core/process.h.
#include "core/process.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace zep {

// The C runtime keeps descriptors 0, 1 and 2 reserved even when the program
// was started without standard streams (a GUI program started by a
// double-click): files opened later never take their place.
void KeepStandardStreamsOpen() {}


void CatchInterrupts() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

void EndByInterrupt(int signal) {
    std::fflush(nullptr);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace zep

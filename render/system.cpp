// The parts of render/system.h that need only the C++ library: the
// interrupt flag and ending the process by the interrupting signal.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "render/system.h"

namespace zep::render::sys {
namespace {

volatile std::sig_atomic_t g_interrupt = 0;

}  // namespace

extern "C" void OnInterrupt(int signal) { g_interrupt = signal; }

int Interrupted() { return g_interrupt; }

void EndByInterrupt(int signal) {
    std::fflush(nullptr);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace zep::render::sys

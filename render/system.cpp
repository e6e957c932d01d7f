// The parts of render/system.h that need only the C++ library: the
// interrupt flag.
#include <csignal>

#include "render/system.h"

namespace zep::render::sys {
namespace {

volatile std::sig_atomic_t g_interrupt = 0;

}  // namespace

extern "C" void OnInterrupt(int signal) { g_interrupt = signal; }

int Interrupted() { return g_interrupt; }

}  // namespace zep::render::sys

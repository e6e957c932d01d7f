#include "shell/core/process.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>

namespace zep {
namespace {

volatile std::sig_atomic_t g_interrupt = 0;

}  // namespace

extern "C" void OnInterrupt(int signal) { g_interrupt = signal; }

int Interrupted() { return g_interrupt; }

int RunGuarded(const char* program, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", program);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: unexpected failure: %s\n", program, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: unexpected failure\n", program);
    }
    return 2;
}

}  // namespace zep

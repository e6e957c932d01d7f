// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include "core/process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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

int PrintToStandardOutput(const char* program, const std::string& text, const char* what) {
    errno = 0;
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "%s: cannot write %s to standard output: %s\n", program, what,
                     error != 0 ? std::strerror(error) : "write failed");
        return 2;
    }
    return 0;
}

}  // namespace zep

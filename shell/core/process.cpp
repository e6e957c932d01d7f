#include "shell/core/process.h"

#include <cstdio>
#include <exception>
#include <new>

namespace zep {

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

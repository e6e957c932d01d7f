// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Linked into the Linux downloads only, which link the C++ runtime and GCC's
// unwinder in. Debian's, built against glibc 2.36, call two functions newer
// than glibc 2.34: arc4random (2.36), to seed std::random_device, which the
// string code pulls in whether or not it runs, and _dl_find_object (2.35),
// to find the unwind tables of the code an exception passes through. These
// definitions take the place of glibc's, from getrandom (2.25) and
// dl_iterate_phdr (2.2.5), so the programs run on glibc 2.34. They are
// hidden: they serve the code linked in here, and never take the place of
// glibc's for a library the system loads into the process.
#include <dlfcn.h>
#include <link.h>
#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct ObjectSearch {
    std::uintptr_t address;
    dl_find_object* result;
    bool found;
};

// dl_iterate_phdr's callback: fills the search's result and stops when the
// object holds the address in one of its loaded segments.
int FindObject(dl_phdr_info* info, std::size_t, void* data) {
    auto& search = *static_cast<ObjectSearch*>(data);
    std::uintptr_t start = UINTPTR_MAX;
    std::uintptr_t end = 0;
    bool holds = false;
    void* eh_frame = nullptr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD) {
            start = std::min(start, begin);
            end = std::max(end, begin + segment.p_memsz);
            holds = holds || (search.address >= begin && search.address - begin < segment.p_memsz);
        } else if (segment.p_type == PT_GNU_EH_FRAME) {
            eh_frame = reinterpret_cast<void*>(begin);
        }
    }
    if (!holds) return 0;
    search.found = eh_frame != nullptr;
    *search.result = dl_find_object{};
    search.result->dlfo_map_start = reinterpret_cast<void*>(start);
    search.result->dlfo_map_end = reinterpret_cast<void*>(end);
    search.result->dlfo_eh_frame = eh_frame;
    return 1;
}

}  // namespace

extern "C" __attribute__((visibility("hidden"))) int _dl_find_object(void* address, dl_find_object* result) noexcept {
    ObjectSearch search{reinterpret_cast<std::uintptr_t>(address), result, false};
    dl_iterate_phdr(FindObject, &search);
    return search.found ? 0 : -1;
}

extern "C" __attribute__((visibility("hidden"))) std::uint32_t arc4random() noexcept {
    std::uint32_t value = 0;
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    std::size_t got = 0;
    while (got < sizeof value) {
        const ssize_t n = getrandom(bytes + got, sizeof value - got, 0);
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            std::abort();  // no kernel random source: nothing safe to return
    }
    return value;
}

// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Opening a file named by a std::filesystem::path with the C library.
#pragma once

#include <cstdio>
#include <filesystem>

namespace zep {

// std::fopen for a path. On Windows the path is held as UTF-16, so it is
// opened by its wide name, which also reaches names outside the ANSI code page.
inline std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    wchar_t wide_mode[8] = {};
    for (int i = 0; i < 7 && mode[i] != '\0'; ++i) wide_mode[i] = static_cast<wchar_t>(mode[i]);
    return _wfopen(path.c_str(), wide_mode);
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace zep

// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The Windows side of core/files.h.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cerrno>
#include <random>

#include "core/files.h"

namespace zep {

std::FILE* CreateFileBeside(const std::filesystem::path& target, std::filesystem::path& created) {
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring leaf = L"." + target.filename().wstring() + L".";
        for (int k = 0; k < 6; ++k) leaf += static_cast<wchar_t>(kLetters[random() % 36]);
        leaf += target.extension().wstring();
        const std::filesystem::path name = folder / leaf;
        int fd = -1;
        const errno_t error =
            ::_wsopen_s(&fd, name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _SH_DENYNO, _S_IREAD | _S_IWRITE);
        if (error == EEXIST) continue;
        if (error != 0) {
            errno = error;
            return nullptr;
        }
        std::FILE* file = ::_fdopen(fd, "wb");
        if (!file) {
            const int saved = errno;
            ::_close(fd);
            std::error_code ec;
            std::filesystem::remove(name, ec);
            errno = saved;
            return nullptr;
        }
        created = name;
        return file;
    }
    errno = EEXIST;
    return nullptr;
}

std::string NotARegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto type = std::filesystem::symlink_status(path, ec).type();
    switch (type) {
        case std::filesystem::file_type::directory: return "a folder";
        case std::filesystem::file_type::fifo: return "a named pipe";
        case std::filesystem::file_type::character:
        case std::filesystem::file_type::block: return "a device";
        case std::filesystem::file_type::socket: return "a socket";
        default: return {};
    }
}

}  // namespace zep

// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The POSIX side of core/files.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/files.h"

namespace zep {

std::FILE* CreateFileBeside(const std::filesystem::path& target, std::filesystem::path& created) {
    const std::filesystem::path folder = target.parent_path();
    const std::string extension = target.extension().string();
    std::string leaf(1, '.');
    leaf += target.filename().string();
    leaf += ".XXXXXX";
    leaf += extension;
    std::string name = ((folder.empty() ? std::filesystem::path(".") : folder) / leaf).string();
    const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
    if (fd < 0) return nullptr;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // mkstemps makes the file readable by its owner only; a finished file
    // gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    created = name;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        std::error_code ec;
        std::filesystem::remove(created, ec);
        errno = error;
    }
    return file;
}

std::string NotARegularFile(const std::filesystem::path& path) {
    struct stat at {};
    if (::lstat(path.c_str(), &at) != 0) return {};
    if (S_ISDIR(at.st_mode)) return "a folder";
    if (S_ISFIFO(at.st_mode)) return "a named pipe";
    if (S_ISCHR(at.st_mode) || S_ISBLK(at.st_mode)) return "a device";
    if (S_ISSOCK(at.st_mode)) return "a socket";
    return {};
}

}  // namespace zep

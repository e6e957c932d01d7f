// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The Windows side of render/system.h. Pictures, hashes and files are written
// as on Linux; a child process fed through pipes (ffmpeg for --video) is not
// started here.
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "render/system.h"
#include "core/process.h"

namespace zep::render::sys {

std::FILE* TakeStandardOutputForPictures() {
    const int pictures = ::_dup(1);
    if (pictures < 0) return nullptr;
    ::_dup2(2, 1);
    // Pictures and hash lines leave as they are: no "\n" becomes "\r\n".
    ::_setmode(pictures, _O_BINARY);
    return ::_fdopen(pictures, "wb");
}

// A Windows path has no way to name a standard stream that a file
// comparison would find.
StandardStream StandardStreamAt(const std::string&) { return StandardStream::None; }

bool StandardErrorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }

// No program is started on Windows (see ChildProcess).
bool IsExecutable(const std::string&) { return false; }

// A write to a pipe whose reader has gone fails with an error on Windows;
// there is no signal to ignore.
void IgnoreBrokenPipes() {}

bool NamesADevice(const std::filesystem::path& path) { return IsWindowsDeviceName(path); }

std::string NameProblem(const std::string& path) {
    const std::string part = PartEndingInSpaceOrDot(path);
    if (part.empty()) return {};
    return "\"" + part + "\" ends in a space or a dot, which Windows drops from names; choose a name without";
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::_close(fd_);
}

bool FolderLock::Take(const std::filesystem::path& dir) {
    // A folder cannot be locked here: a lock file inside it is opened shared
    // with nobody, and deleted by the system when the last handle to it
    // closes, so it goes when the process ends, however it ends.
    const std::filesystem::path lock = dir / L".zep-render.lock";
    int fd = -1;
    const errno_t error = ::_wsopen_s(&fd, lock.c_str(),
                                      _O_RDWR | _O_CREAT | _O_TEMPORARY | _O_BINARY | _O_NOINHERIT,
                                      _SH_DENYRW, _S_IREAD | _S_IWRITE);
    if (error != 0) {
        // Held by another render when it is there; otherwise the folder
        // cannot be written, which the first write says.
        std::error_code ec;
        return !std::filesystem::exists(lock, ec);
    }
    if (fd_ >= 0) ::_close(fd_);
    fd_ = fd;
    return true;
}

ChildProcess::~ChildProcess() = default;

std::string ChildProcess::Start(const std::string&, const std::vector<std::string>&, int) {
    return "starting another program is not available on Windows";
}

bool ChildProcess::Write(int, const void*, std::size_t) {
    errno = EPIPE;
    return false;
}

void ChildProcess::ClosePipe(int) {}

bool ChildProcess::Finish() { return false; }

void ChildProcess::Kill() {}

}  // namespace zep::render::sys

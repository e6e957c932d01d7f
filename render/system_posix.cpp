// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The POSIX side of render/system.h.
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "render/system.h"
#include "core/process.h"

extern char** environ;

namespace zep::render::sys {

std::FILE* TakeStandardOutputForPictures() {
    const int pictures = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (pictures < 0) return nullptr;
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    return ::fdopen(pictures, "wb");
}

StandardStream StandardStreamAt(const std::string& path) {
    struct stat at {}, out {}, err {};
    if (::stat(path.c_str(), &at) != 0) return StandardStream::None;
    const auto same = [&](const struct stat& s) { return s.st_dev == at.st_dev && s.st_ino == at.st_ino; };
    if (::fstat(STDOUT_FILENO, &out) == 0 && same(out)) return StandardStream::Output;
    if (::fstat(STDERR_FILENO, &err) == 0 && same(err) && S_ISREG(err.st_mode))
        return StandardStream::ErrorFile;
    return StandardStream::None;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool IsExecutable(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

void IgnoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

// Devices are found by what they are (see OutputFile); any name is kept as
// written.
bool NamesADevice(const std::filesystem::path&) { return false; }

std::string NameProblem(const std::string&) { return {}; }

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::Take(const std::filesystem::path& dir) {
    // The folder itself is locked: no lock file to leave behind, and the
    // lock goes with the last descriptor when the process ends. The
    // descriptor is not inherited by ffmpeg.
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;  // then the folder cannot be written either, and that is said
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error != EWOULDBLOCK;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    return true;
}

namespace {
void WaitFor(int& pid, int* status) {
    int ignored = 0;
    while (pid > 0 && ::waitpid(pid, status ? status : &ignored, 0) < 0) {
        if (errno != EINTR) break;
        if (Interrupted() != 0) ::kill(pid, SIGKILL);
    }
    pid = -1;
}
}  // namespace

ChildProcess::~ChildProcess() {
    for (std::size_t k = 0; k < pipes_.size(); ++k) ClosePipe(static_cast<int>(k));
    WaitFor(pid_, nullptr);
}

void ChildProcess::ClosePipe(int pipe) {
    int& fd = pipes_[static_cast<std::size_t>(pipe)];
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::string ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                                int pipes) {
    std::vector<int> read_ends;
    auto close_all = [&] {
        for (int fd : read_ends) ::close(fd);
        for (int fd : pipes_) ::close(fd);
        pipes_.clear();
    };
    pipes_.clear();
    for (int k = 0; k < pipes; ++k) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            const std::string reason = std::strerror(errno);
            close_all();
            return reason;
        }
        // Moved above the descriptors the child gets them as, so that the
        // moves below never land on a pipe end still to be moved.
        const int read_end = ::fcntl(fds[0], F_DUPFD_CLOEXEC, 3 + pipes);
        ::close(fds[0]);
        read_ends.push_back(read_end);
        pipes_.push_back(fds[1]);
        if (read_end < 0) {
            const std::string reason = std::strerror(errno);
            close_all();
            return reason;
        }
    }
    std::vector<std::string> words = args;
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    for (int k = 0; k < pipes; ++k) posix_spawn_file_actions_adddup2(&actions, read_ends[k], 3 + k);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : read_ends) ::close(fd);
    read_ends.clear();
    if (rc != 0) {
        close_all();
        return std::strerror(rc);
    }
    pid_ = pid;
    return {};
}

bool ChildProcess::Write(int pipe, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        // A caught signal may cut a write short without an error.
        if (Interrupted() != 0) {
            errno = EINTR;
            return false;
        }
        const ssize_t n = ::write(pipes_[static_cast<std::size_t>(pipe)], p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ChildProcess::Finish() {
    for (std::size_t k = 0; k < pipes_.size(); ++k) ClosePipe(static_cast<int>(k));
    int status = 0;
    const bool had_child = pid_ > 0;
    WaitFor(pid_, &status);
    return had_child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ChildProcess::Kill() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    WaitFor(pid_, nullptr);
}

}  // namespace zep::render::sys

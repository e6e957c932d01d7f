// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The operating-system services zep-render needs beyond the standard library:
// standard output kept for pictures, names this system treats apart, a lock
// on a folder of frames, and a child process fed through pipes. What the C++ library alone
// can do lives in system.cpp; the rest in system_posix.cpp, so another
// system needs only another implementation of that file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace zep::render::sys {

// Keeps the process's standard output for pictures only: returns a stream on
// it and points descriptor 1 at standard error, so that text any part of the
// program or a library prints to standard output lands on standard error.
std::FILE* TakeStandardOutputForPictures();

// What an output path leads to among the standard streams, looked at before
// TakeStandardOutputForPictures moves descriptor 1: the file, device or pipe
// behind standard output (by any path: /dev/stdout, a link, its own name), or
// the regular file behind standard error, which a finished output would
// replace.
enum class StandardStream { None, Output, ErrorFile };
StandardStream StandardStreamAt(const std::string& path);

bool StandardErrorIsTerminal();

// True when `path` names a program this process may run.
bool IsExecutable(const std::string& path);

// A write to a closed pipe fails with an error instead of ending the process.
void IgnoreBrokenPipes();

// True when `path` names one of Windows' devices (NUL, CON, AUX, PRN, COM1
// to COM9, LPT1 to LPT9, in any case, with or without an extension): such a
// name means the device in every folder. Windows' rule, checked anywhere.
bool IsWindowsDeviceName(const std::filesystem::path& path);

// The first part of `path` (between separators) that ends in a space or a
// dot, other than "." and "..": Windows drops those from a name, so the file
// or folder made would not be the one named. Empty when there is none.
// Windows' rule, checked anywhere.
std::string PartEndingInSpaceOrDot(const std::string& path);

// True when this system opens `path` as a device rather than a file in a
// folder (Windows' NUL and the like); such an output is written directly.
bool NamesADevice(const std::filesystem::path& path);

// Why this system would not make a file or folder by the name `path` as
// written, or empty.
std::string NameProblem(const std::string& path);

// A lock on a folder, held as long as the object lives, so that two renders
// never write frames into one folder at once. The system lets it go when the
// process ends, however it ends.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock on the folder `dir`: false when another process holds
    // it. On a filesystem that cannot lock, the folder is written unlocked.
    bool Take(const std::filesystem::path& dir);

private:
    int fd_ = -1;
};

// A program started with `pipes` pipes it reads from (descriptors 3, 4, ...
// in the child); its standard input is not used, standard output and error
// are shared with this process.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // closes the pipes and waits for the child
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Empty when started, else why not.
    std::string Start(const std::string& program, const std::vector<std::string>& args, int pipes);
    // Writes everything; false with errno set when the child stopped reading
    // or the write was interrupted by a caught signal.
    bool Write(int pipe, const void* data, std::size_t size);
    // Closes one pipe: the child sees its end. Each pipe may be written and
    // closed by a thread of its own.
    void ClosePipe(int pipe);
    // Closes every pipe still open and waits for the child; true when it
    // exited with 0.
    bool Finish();
    // Ends the child at once and waits for it; writes to its pipes fail from
    // then on.
    void Kill();

private:
    int pid_ = -1;
    std::vector<int> pipes_;
};

}  // namespace zep::render::sys

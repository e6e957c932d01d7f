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

void CatchInterrupts() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

void EndByInterrupt(int signal) {
    std::fflush(nullptr);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
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

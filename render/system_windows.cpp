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
#include <random>

#include "render/system.h"
#include "shell/core/process.h"

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
            std::filesystem::remove(name);
            errno = saved;
            return nullptr;
        }
        created = name;
        return file;
    }
    errno = EEXIST;
    return nullptr;
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

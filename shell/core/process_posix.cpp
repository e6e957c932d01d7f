// The POSIX side of shell/core/process.h.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "shell/core/process.h"

namespace zep {

void KeepStandardStreamsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() returns the lowest free descriptor, which is this one.
        const int placeholder = ::open("/dev/null", O_RDONLY);
        if (placeholder >= 0 && placeholder != fd) {
            ::dup2(placeholder, fd);
            ::close(placeholder);
        }
    }
}

}  // namespace zep

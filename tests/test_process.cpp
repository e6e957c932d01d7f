// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "core/process.h"

namespace zep {
namespace {

TEST(Process, ClosedStandardStreamsAreHeldByPlaceholders) {
    // In a child, so the test runner's own streams stay as they are.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(0);
        ::close(1);
        KeepStandardStreamsOpen();
        // Both are open again, and a file opened now gets another number.
        const int file = ::open("/dev/null", O_RDONLY);
        bool ok = ::fcntl(0, F_GETFD) != -1 && ::fcntl(1, F_GETFD) != -1 && file > 2;
        // Writing to the stream that was closed still fails.
        ok = ok && ::write(1, "x", 1) == -1 && errno == EBADF;
        char c;
        ok = ok && ::read(0, &c, 1) == 0;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Process, AnEscapingExceptionIsReportedWithStatusTwo) {
    EXPECT_EQ(RunGuarded("prog", [] { return 7; }), 7);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded("prog", []() -> int { throw std::length_error("vector::_M_default_append"); }), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "prog: unexpected failure: vector::_M_default_append\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded("prog", []() -> int { throw std::bad_alloc(); }), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "prog: out of memory\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGuarded("prog", []() -> int { throw 42; }), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "prog: unexpected failure\n");
}

}  // namespace
}  // namespace zep

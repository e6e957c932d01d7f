# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, so std::thread and std::mutex work). The static libraries zep links
# are looked up in $ZEP_WINDOWS_DEPS (make sets it; else build-windows/deps), where
# scripts/build-deps.sh builds each in its own prefix, and in the compiler's
# own folder.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZEP_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEP_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEP_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEP_MINGW}-windres)
set(CMAKE_AR ${ZEP_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZEP_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_STRIP ${ZEP_MINGW}-strip CACHE FILEPATH "")

set(ZEP_CROSS ${ZEP_MINGW})
set(ZEP_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-windows/deps")
set(ZEP_DEPS_ENV ZEP_WINDOWS_DEPS)
include(${CMAKE_CURRENT_LIST_DIR}/deps-prefixes.cmake)

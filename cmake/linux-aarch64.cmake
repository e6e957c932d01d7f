# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Cross-builds for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu. The
# libraries zep links are looked up in build-linux-arm64/deps (or
# $ZEP_LINUX_ARM64_DEPS), where scripts/build-deps.sh builds each in its own
# prefix, and in the cross compiler's own folder. Programs built for ARM64
# run here under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(ZEP_CROSS aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${ZEP_CROSS}-gcc)
set(CMAKE_CXX_COMPILER ${ZEP_CROSS}-g++)
set(CMAKE_AR ${ZEP_CROSS}-gcc-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZEP_CROSS}-gcc-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${ZEP_CROSS}-strip CACHE FILEPATH "")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/${ZEP_CROSS})

set(ZEP_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-linux-arm64/deps")
set(ZEP_DEPS_ENV ZEP_LINUX_ARM64_DEPS)
include(${CMAKE_CURRENT_LIST_DIR}/deps-prefixes.cmake)

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

set(CMAKE_FIND_ROOT_PATH /usr/${ZEP_CROSS})
set(ZEP_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-linux-arm64/deps")
if(DEFINED ENV{ZEP_LINUX_ARM64_DEPS})
  set(ZEP_DEPS "$ENV{ZEP_LINUX_ARM64_DEPS}")
endif()
set(ZEP_DEPS_PC_TAIL /usr/${ZEP_CROSS}/lib/pkgconfig)
include(${CMAKE_CURRENT_LIST_DIR}/deps-prefixes.cmake)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

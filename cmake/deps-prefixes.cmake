# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The library prefixes scripts/build-deps.sh installed under the folder
# ZEP_DEPS (DEPS/NAME-VERSION), made the only place pkg-config looks besides
# ZEP_DEPS_PC_TAIL, never the build machine's own .pc files unless named
# there. A cross toolchain file sets ZEP_CROSS (the target triplet) and
# ZEP_DEPS_ENV, the environment variable that may name the folder instead of
# ZEP_DEPS; the prefixes and the cross compiler's own folder are then where
# find_library and the others look, and the only places.
if(ZEP_CROSS)
  if(DEFINED ENV{${ZEP_DEPS_ENV}})
    set(ZEP_DEPS "$ENV{${ZEP_DEPS_ENV}}")
  endif()
  set(CMAKE_FIND_ROOT_PATH /usr/${ZEP_CROSS})
  set(ZEP_DEPS_PC_TAIL /usr/${ZEP_CROSS}/lib/pkgconfig)
endif()
file(GLOB _zep_dep_prefixes LIST_DIRECTORIES true "${ZEP_DEPS}/*-*/lib")
list(TRANSFORM _zep_dep_prefixes REPLACE "/lib$" "")
list(APPEND CMAKE_FIND_ROOT_PATH ${_zep_dep_prefixes})
set(_zep_pc "")
foreach(_prefix IN LISTS _zep_dep_prefixes)
  string(APPEND _zep_pc "${_prefix}/lib/pkgconfig:")
endforeach()
set(ENV{PKG_CONFIG_LIBDIR} "${_zep_pc}${ZEP_DEPS_PC_TAIL}")
if(ZEP_CROSS)
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()

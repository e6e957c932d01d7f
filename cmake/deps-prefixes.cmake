# The library prefixes scripts/build-deps.sh installed under the folder
# ZEP_DEPS (DEPS/NAME-VERSION): added to CMAKE_FIND_ROOT_PATH for a cross
# build, and made the only place pkg-config looks besides ZEP_DEPS_PC_TAIL
# (the compiler's own .pc folder, if any), never the build machine's.
file(GLOB _zep_dep_prefixes LIST_DIRECTORIES true "${ZEP_DEPS}/*-*/lib")
list(TRANSFORM _zep_dep_prefixes REPLACE "/lib$" "")
list(APPEND CMAKE_FIND_ROOT_PATH ${_zep_dep_prefixes})
set(_zep_pc "")
foreach(_prefix IN LISTS _zep_dep_prefixes)
  string(APPEND _zep_pc "${_prefix}/lib/pkgconfig:")
endforeach()
set(ENV{PKG_CONFIG_LIBDIR} "${_zep_pc}${ZEP_DEPS_PC_TAIL}")

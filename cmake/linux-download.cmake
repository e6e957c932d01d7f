# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The Linux download (ZEP_DISTRIBUTION=download on Linux): one folder that
# runs on any desktop Linux with glibc 2.34 or newer, whatever else is
# installed. SDL2 is the one shared library it brings, in lib/ beside the
# demo, found through an $ORIGIN run path; libopenmpt, libpng, zlib and the
# C++ runtime are linked in. The libraries are those scripts/build-deps.sh
# built into ZEP_DEPS (a cross build's toolchain file names it).
#
#   zep-VERSION/zep          the launcher: starts lib/zep in data/
#   zep-VERSION/zep-render
#   zep-VERSION/lib/         the demo itself and libSDL2-2.0.so.0
#   zep-VERSION/data/        the default data set and music
#   zep-VERSION/licenses/    the licence of every library inside
#   zep-VERSION/README.txt
#
# The build packs it into zep-VERSION-linux-ARCH.tar.gz and tests it as
# unpacked.
if(NOT CMAKE_CROSSCOMPILING)
  set(ZEP_DEPS "${CMAKE_BINARY_DIR}/deps" CACHE PATH
      "The libraries scripts/build-deps.sh built for this machine")
  # The build machine's own .pc files come after ZEP_DEPS: zep-data, which
  # stays out of the download, finds FreeType there.
  execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --variable pc_path pkg-config
                  OUTPUT_VARIABLE ZEP_DEPS_PC_TAIL OUTPUT_STRIP_TRAILING_WHITESPACE)
  include(${CMAKE_CURRENT_LIST_DIR}/deps-prefixes.cmake)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "aarch64|arm64")
  set(zep_download_arch arm64)
else()
  set(zep_download_arch x86_64)
endif()

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
if(NOT SDL2_LINK_LIBRARIES MATCHES "^${ZEP_DEPS}/")
  message(FATAL_ERROR "The download's SDL2 must come from ${ZEP_DEPS} "
                      "(scripts/build-deps.sh), not ${SDL2_LINK_LIBRARIES}")
endif()
# Installed beside the demo under its soname, the name the programs ask for.
file(REAL_PATH "${SDL2_LINK_LIBRARIES}" zep_sdl_library)
install(FILES ${zep_sdl_library} DESTINATION lib RENAME libSDL2-2.0.so.0)
zep_static_package(OPENMPT libopenmpt)
zep_static_package(PNG libpng)
add_link_options(-static-libstdc++ -static-libgcc)
# Every program made from here on takes the arc4random and _dl_find_object
# that the linked-in C++ runtime and unwinder call from
# core/glibc_compat.cpp, not from glibc 2.36 and 2.35.
add_library(zep_glibc_compat OBJECT ${CMAKE_SOURCE_DIR}/core/glibc_compat.cpp)
link_libraries(zep_glibc_compat)

set(ZEP_INSTALL_BINDIR . CACHE STRING "")
set(ZEP_INSTALL_PROGRAMDIR lib CACHE STRING "")
set(ZEP_INSTALL_DATADIR data CACHE STRING "")
# zep-render finds SDL in lib/, the demo beside itself.
set(CMAKE_INSTALL_RPATH "\$ORIGIN/lib;\$ORIGIN")
# Linked with it, not rewritten on installing: the build folder's name, of
# another length, would leave its trace in the string table.
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)

set(zep_download_name zep-${PROJECT_VERSION})
set(zep_download ${CMAKE_BINARY_DIR}/${zep_download_name}-linux-${zep_download_arch}.tar.gz)
set(zep_download_stage ${CMAKE_BINARY_DIR}/download-stage)
configure_file(${CMAKE_SOURCE_DIR}/packaging/linux-README.txt
               ${CMAKE_BINARY_DIR}/generated/linux-README.txt @ONLY)
add_custom_command(OUTPUT ${zep_download}
  COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/make-linux-download.sh ${CMAKE_BINARY_DIR}
          ${zep_download_stage} ${zep_download_name} ${ZEP_DEPS} ${CMAKE_STRIP} ${zep_download}
  DEPENDS zep zep-render zep-launcher zep_install_data ${CMAKE_BINARY_DIR}/generated/linux-README.txt
          ${CMAKE_SOURCE_DIR}/scripts/make-linux-download.sh
  COMMENT "Packing ${zep_download_name}-linux-${zep_download_arch}.tar.gz"
  VERBATIM)
add_custom_target(download ALL DEPENDS ${zep_download})

# The download as unpacked: what it links, the newest glibc it needs, and (on
# ARM64 under qemu-user) every frame of the run; on the build machine's own
# architecture also zep started as a viewer starts it.
enable_testing()
set(zep_download_test sh ${CMAKE_SOURCE_DIR}/tests/download_test.sh)
set(zep_download_work ${CMAKE_BINARY_DIR}/test-output/download)
set(zep_manifest ${CMAKE_SOURCE_DIR}/tests/golden/frames-60fps.txt)
add_test(NAME download_links
  COMMAND ${zep_download_test} links ${zep_download_work}/links ${zep_download} ${CMAKE_OBJDUMP})
add_test(NAME download_frames
  COMMAND ${zep_download_test} frames ${zep_download_work}/frames ${zep_download} ${zep_manifest}
          ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(download_links download_frames PROPERTIES ENVIRONMENT ZEP_MODULE=${ZEP_MODULE_NAME})
set_tests_properties(download_frames PROPERTIES TIMEOUT 1500)
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME download_play
    COMMAND ${zep_download_test} play ${zep_download_work}/play ${zep_download})
  set_tests_properties(download_play PROPERTIES TIMEOUT 120)
  # In a Wayland session with no X server, and into PipeWire (as an ordinary
  # user; skipped where sway or PipeWire cannot run).
  add_test(NAME download_wayland
    COMMAND ${zep_download_test} wayland ${zep_download_work}/wayland ${zep_download})
  add_test(NAME download_sound
    COMMAND ${zep_download_test} sound ${zep_download_work}/sound ${zep_download}
            $<TARGET_FILE:zep-music-wav>)
  set_tests_properties(download_wayland download_sound PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77
    ENVIRONMENT ZEP_MODULE=${ZEP_MODULE_NAME})
  set_tests_properties(download_sound PROPERTIES RUN_SERIAL TRUE)
  # Unpacked on clean Debian 12 and 13 systems, which have no SDL2, no
  # libopenmpt and no compiler (as root; the systems are made once and cached).
  foreach(suite bookworm trixie)
    add_test(NAME download_${suite}
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/download_system_test.sh ${suite} ${zep_download}
              ${zep_download_work}/${suite} ${zep_manifest})
    set_tests_properties(download_${suite} PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE
      ENVIRONMENT ZEP_MODULE=${ZEP_MODULE_NAME})
  endforeach()
endif()

# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Install rules: zep, zep-render, the default data set and music, and what a
# desktop expects (menu entry, icons, AppStream metainfo, man pages), laid out
# by GNUInstallDirs with relative destinations only, so that the Debian
# package, the Linux downloads and any distribution's packaging share them.
# The installed zep is a launcher that starts the demo in its data folder;
# both are found relative to the launcher, so the tree may live anywhere.
include(GNUInstallDirs)

set(ZEP_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where zep and zep-render are installed (Debian puts games in games)")
set(ZEP_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBEXECDIR}/zep CACHE STRING
    "Where the demo program itself is installed, started by the zep launcher")
set(ZEP_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/games/zep CACHE STRING
    "Where the default data set and music module are installed")
foreach(dir ZEP_INSTALL_BINDIR ZEP_INSTALL_PROGRAMDIR ZEP_INSTALL_DATADIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the install prefix (got ${${dir}})")
  endif()
endforeach()

file(RELATIVE_PATH zep_launch_data /${ZEP_INSTALL_BINDIR} /${ZEP_INSTALL_DATADIR})
file(RELATIVE_PATH zep_launch_program /${ZEP_INSTALL_BINDIR} /${ZEP_INSTALL_PROGRAMDIR}/zep)
add_executable(zep-launcher shell/launcher.cpp)
target_link_libraries(zep-launcher PRIVATE zep_core)
target_compile_definitions(zep-launcher PRIVATE ZEP_LAUNCH_DATA="${zep_launch_data}"
                                                ZEP_LAUNCH_PROGRAM="${zep_launch_program}")

install(TARGETS zep RUNTIME DESTINATION ${ZEP_INSTALL_PROGRAMDIR})
# Built as build/launcher/zep, beside no other zep.
set_target_properties(zep-launcher PROPERTIES OUTPUT_NAME zep
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
install(TARGETS zep-launcher RUNTIME DESTINATION ${ZEP_INSTALL_BINDIR})
install(TARGETS zep-render RUNTIME DESTINATION ${ZEP_INSTALL_BINDIR})

# The default data set, written at build time by this build's zep-data (or,
# when cross-building, by the build machine's: ZEP_HOST_DATAGEN).
set(zep_install_data ${CMAKE_BINARY_DIR}/install-data)
if(TARGET zep-data)
  set(zep_datagen $<TARGET_FILE:zep-data>)
  set(zep_datagen_depends zep-data)
elseif(ZEP_HOST_DATAGEN)
  set(zep_datagen ${ZEP_HOST_DATAGEN})
  set(zep_datagen_depends ${ZEP_HOST_DATAGEN})
endif()
if(zep_datagen)
  add_custom_command(OUTPUT ${zep_install_data}/${ZEP_MODULE_NAME}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zep_install_data}
    COMMAND ${zep_datagen} ${zep_install_data}
    DEPENDS ${zep_datagen_depends}
    COMMENT "Writing the default data set to install"
    VERBATIM)
  add_custom_target(zep_install_data ALL DEPENDS ${zep_install_data}/${ZEP_MODULE_NAME})
  install(DIRECTORY ${zep_install_data}/ DESTINATION ${ZEP_INSTALL_DATADIR})
else()
  message(STATUS "The install has no data set: neither zep-data nor ZEP_HOST_DATAGEN")
endif()

set(zep_packaging ${CMAKE_SOURCE_DIR}/packaging)
# The man pages name the data folder as installed, under the prefix the
# install is made for (cmake --install --prefix, make install PREFIX=), so
# they are written at install time, straight into their destination.
foreach(page zep.6 zep-render.6)
  install(CODE "
    set(PROJECT_VERSION \"${PROJECT_VERSION}\")
    set(ZEP_DATA_PATH \"\${CMAKE_INSTALL_PREFIX}/${ZEP_INSTALL_DATADIR}\")
    set(page \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man6/${page}\")
    message(STATUS \"Installing: \${page}\")
    configure_file(\"${zep_packaging}/${page}\" \"\${page}\" @ONLY)
    file(CHMOD \"\${page}\" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${page}\")")
endforeach()
configure_file(${zep_packaging}/org.zepdemo.zep.metainfo.xml
               ${CMAKE_BINARY_DIR}/generated/org.zepdemo.zep.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/org.zepdemo.zep.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${zep_packaging}/org.zepdemo.zep.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48x48 256x256)
  install(FILES ${CMAKE_SOURCE_DIR}/icons/hicolor/${size}/apps/zep.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

if(ZEP_TESTS)
  include(${CMAKE_CURRENT_LIST_DIR}/licence_tests.cmake)
endif()

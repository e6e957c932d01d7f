# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Tests of the Debian package that scripts/make-deb.sh builds (ZEP_DEB_FILE):
# lintian's verdict on it and on the source package made from the tree; the
# package installed, run and purged on clean Debian 12 and 13 systems
# (tests/deb_test.sh); and its autopkgtest (debian/tests) run by autopkgtest
# in a clean Debian 12 system. All as root.
get_filename_component(zep_tree ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(ZEP_DEB_FILE "" CACHE FILEPATH "The Debian package the package tests check")
set(ZEP_FRAME_MANIFEST "${zep_tree}/tests/golden/frames-60fps.txt" CACHE FILEPATH
    "Hashes of every frame of the whole run at 60 fps")
if(NOT ZEP_DEB_FILE)
  return()
endif()
enable_testing()
add_test(NAME deb_lintian COMMAND lintian --fail-on error,warning ${ZEP_DEB_FILE})
foreach(suite bookworm trixie)
  add_test(NAME deb_${suite}
    COMMAND sh ${zep_tree}/tests/deb_test.sh ${suite} ${ZEP_DEB_FILE}
            ${CMAKE_BINARY_DIR}/test-output/deb-${suite} ${ZEP_FRAME_MANIFEST})
  set_tests_properties(deb_${suite} PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
endforeach()
add_test(NAME deb_autopkgtest
  COMMAND sh ${zep_tree}/tests/autopkgtest_test.sh ${ZEP_DEB_FILE} ${zep_tree}
          ${CMAKE_BINARY_DIR}/test-output/autopkgtest)
set_tests_properties(deb_autopkgtest PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
add_test(NAME deb_source_lintian
  COMMAND sh ${zep_tree}/tests/deb_source_test.sh ${zep_tree} ${CMAKE_BINARY_DIR}/test-output/deb-source)

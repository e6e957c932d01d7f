# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# What a packager's tools check before taking zep: the licence lines of every
# file of the tree (reuse) and the AppStream metainfo as installed
# (appstreamcli, pedantic). Each skips when its tool is not installed.
set(zep_licence_test ${CMAKE_SOURCE_DIR}/tests/licence_test.sh)
add_test(NAME licence_lint COMMAND sh ${zep_licence_test} reuse ${CMAKE_SOURCE_DIR})
add_test(NAME metainfo_validate COMMAND sh ${zep_licence_test} metainfo
         ${CMAKE_BINARY_DIR}/generated/org.zepdemo.zep.metainfo.xml)
set_tests_properties(licence_lint metainfo_validate PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

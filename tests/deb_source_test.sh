#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The Debian source package as a distribution would take it: made from the
# tree by dpkg-source, lintian finds no error or warning in it (debian/
# itself: the copyright file's format and licences, the rules, the control
# file, the metadata's licence against the copyright file's).
# Usage: deb_source_test.sh SOURCE_DIR WORK_DIR
set -u
SRC=$1
WORK=$2
rm -rf "$WORK" && mkdir -p "$WORK"
"$SRC/scripts/copy-tree.sh" "$SRC" "$WORK/zep" || exit 1
(cd "$WORK" && dpkg-source -b zep) >"$WORK/dpkg-source.log" 2>&1 ||
    { cat "$WORK/dpkg-source.log"; echo "dpkg-source -b failed"; exit 1; }
lintian --fail-on error,warning "$WORK"/zep_*.dsc

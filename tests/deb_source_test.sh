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
rm -rf "$WORK" && mkdir -p "$WORK/zep"
if git -C "$SRC" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$SRC" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 tar -cf - --no-recursion) | tar -C "$WORK/zep" -xf -
else
    (cd "$SRC" && tar -cf - --exclude=./build --exclude='./build-*' --exclude=./dist --exclude='./obj-*' .) |
        tar -C "$WORK/zep" -xf -
fi
(cd "$WORK" && dpkg-source -b zep) >"$WORK/dpkg-source.log" 2>&1 ||
    { cat "$WORK/dpkg-source.log"; echo "dpkg-source -b failed"; exit 1; }
lintian --fail-on error,warning "$WORK"/zep_*.dsc

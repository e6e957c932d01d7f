#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Copies the source tree as it is now into DEST: git's files (tracked, and
# untracked ones git does not ignore) where SRC is a clone, else every file
# but the build folders. The package's build, its source package and its
# as-installed test all start from such a copy.
# Usage: copy-tree.sh SRC DEST
set -eu
SRC=$1
DEST=$2
mkdir -p "$DEST"
if git -C "$SRC" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$SRC" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 tar -cf - --no-recursion) | tar -C "$DEST" -xf -
else
    (cd "$SRC" && tar -cf - --exclude=./build --exclude='./build-*' --exclude=./dist --exclude='./obj-*' .) |
        tar -C "$DEST" -xf -
fi

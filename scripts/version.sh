#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The two facts every release file is stamped with, worked out here only:
#   version.sh version   the release version, from project(zep VERSION ...)
#                        in CMakeLists.txt
#   version.sh epoch     SOURCE_DATE_EPOCH: as set in the environment, else
#                        the last commit's time, else (a tree without git,
#                        such as an unpacked source package) the date of
#                        debian/changelog's newest entry
# Status 1 when the fact cannot be found, 2 on a wrong argument.
set -eu
SRC=$(cd "$(dirname "$0")/.." && pwd)
case ${1:-} in
    version)
        v=$(sed -n 's/^project(zep VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$SRC/CMakeLists.txt")
        [ -n "$v" ] || { echo "version.sh: no project(zep VERSION ...) in $SRC/CMakeLists.txt" >&2; exit 1; }
        echo "$v" ;;
    epoch)
        if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
            echo "$SOURCE_DATE_EPOCH"
        elif t=$(git -C "$SRC" log -1 --format=%ct 2>/dev/null) && [ -n "$t" ]; then
            echo "$t"
        elif [ -f "$SRC/debian/changelog" ] && t=$(cd "$SRC" && dpkg-parsechangelog -STimestamp 2>/dev/null); then
            echo "$t"
        else
            echo "version.sh: no SOURCE_DATE_EPOCH, git history or debian/changelog in $SRC" >&2
            exit 1
        fi ;;
    *)
        echo "usage: version.sh version|epoch" >&2
        exit 2 ;;
esac

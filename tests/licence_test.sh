#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# What a packager's tools say of the tree's licensing and metadata:
#   licence_test.sh reuse SOURCE_DIR       every file of the tree names its
#                                          copyright and licence, and every
#                                          licence named has its text (reuse lint)
#   licence_test.sh metainfo FILE          the AppStream metainfo validates,
#                                          pedantically, with no warning or error
# Status 0: passed, 1: failed, 77: the tool is not installed, or the tree is
# not a git checkout (skipped).
set -u
MODE=${1:-}
TARGET=${2:-}
case $MODE in
    reuse)
        command -v reuse >/dev/null 2>&1 || { echo "reuse is not installed: skipped"; exit 77; }
        # Outside a git checkout reuse cannot tell the tree's files from
        # build folders inside it.
        git -C "$TARGET" rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
            { echo "$TARGET is not a git checkout: skipped"; exit 77; }
        # reuse's own report names each file without its licence lines and
        # each licence without its text.
        out=$(cd "$TARGET" && reuse lint 2>&1)
        status=$?
        [ $status -eq 0 ] || { printf '%s\n' "$out" | grep -v '^$' | tail -n 40; exit 1; } ;;
    metainfo)
        command -v appstreamcli >/dev/null 2>&1 || { echo "appstreamcli is not installed: skipped"; exit 77; }
        [ -s "$TARGET" ] || { echo "no metainfo file $TARGET"; exit 1; }
        out=$(appstreamcli validate --pedantic --no-net --no-color "$TARGET" 2>&1)
        status=$?
        # Pedantic notes (P:) and infos (I:) are allowed; a warning (W:) or
        # an error (E:) is not, nor a failing validator.
        bad=$(printf '%s\n' "$out" | grep -E '^[EW]:')
        if [ -n "$bad" ] || [ $status -ne 0 ]; then
            printf '%s\n' "$out"
            exit 1
        fi ;;
    *)
        echo "usage: licence_test.sh reuse SOURCE_DIR | metainfo FILE" >&2
        exit 2 ;;
esac
exit 0

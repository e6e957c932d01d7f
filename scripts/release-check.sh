#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Builds release files a second time and compares them byte for byte with
# those in DIST: from a copy of the tree in another folder (whose name has a
# space), later, under another umask, as another person's build would be.
# The copy holds the tree as it is now (tracked and new files), and takes
# the same SOURCE_DATE_EPOCH (the last commit's time).
# Usage: release-check.sh DIST TARGET...   (make targets that write into DIST)
# Exit status 1 names each file that differs.
set -eu
DIST=$(cd "$1" && pwd)
shift
SRC=$(cd "$(dirname "$0")/.." && pwd)
SOURCE_DATE_EPOCH=$("$SRC/scripts/version.sh" epoch)
export SOURCE_DATE_EPOCH
work=$(mktemp -d "${TMPDIR:-/tmp}/zep-release-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
[ -n "${ZEP_KEEP_CHECK:-}" ] && trap - EXIT
copy="$work/second build"
mkdir -p "$copy"
(cd "$SRC" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 tar -cf - --no-recursion) | tar -C "$copy" -xf -
echo "release-check: building $* again in $copy"
(umask 077 && cd "$copy" && make --no-print-directory "$@" DIST="$copy/dist" >"$work/build.log" 2>&1) ||
    { tail -n 30 "$work/build.log"; echo "release-check: the second build failed" >&2; exit 1; }
status=0
made=$(ls "$copy/dist" 2>/dev/null | wc -l)
[ "$made" -gt 0 ] || { echo "release-check: the second build made no files in $copy/dist" >&2; exit 1; }
for file in "$copy"/dist/*; do
    name=$(basename "$file")
    if [ ! -f "$DIST/$name" ]; then
        echo "release-check: $name is made only by the second build"
        status=1
    elif ! cmp -s "$file" "$DIST/$name"; then
        echo "release-check: $name differs between the two builds (diffoscope $DIST/$name \"$file\" tells how)"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "release-check: $(ls "$copy"/dist | wc -l) files identical"
exit $status

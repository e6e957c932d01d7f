#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The package's own as-installed tests (debian/tests) run by autopkgtest, as
# Debian's testing machines run them: the package installed with apt in a
# clean Debian 12 system (scripts/test-system.sh, entered with autopkgtest's
# chroot server), and each test run there from a copy of the source tree.
# Usage: autopkgtest_test.sh DEB SOURCE_DIR WORK_DIR   (as root)
# Status 0: every test passed, 1: one failed or could not run, 77: no
# autopkgtest or not root (skipped).
set -u
DEB=$1
SRC=$2
WORK=$3
command -v autopkgtest >/dev/null 2>&1 || { echo "autopkgtest is not installed: skipped"; exit 77; }
[ "$(id -u)" -eq 0 ] || { echo "autopkgtest's chroot server needs root: skipped"; exit 77; }
rm -rf "$WORK" && mkdir -p "$WORK"
root=$WORK/root
"$SRC/scripts/test-system.sh" bookworm "$root" || { echo "no bookworm system"; exit 1; }
cleanup() {
    umount "$root/proc" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
mount -t proc proc "$root/proc"

# The tree the tests run from, without build folders.
tree=$WORK/src
"$SRC/scripts/copy-tree.sh" "$SRC" "$tree" || exit 1

autopkgtest --output-dir "$WORK/out" "$DEB" "$tree/" -- chroot "$root" >"$WORK/log" 2>&1
status=$?
cat "$WORK/out/summary" 2>/dev/null
if [ $status -ne 0 ]; then
    tail -n 40 "$WORK/log"
    echo "autopkgtest: status $status"
    exit 1
fi
exit 0

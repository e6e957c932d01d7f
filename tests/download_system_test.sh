#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep's Linux download on a clean Debian system (scripts/test-system.sh),
# which has no SDL2, no libopenmpt and no compiler: unpacked into a folder
# whose name has spaces, zep started through a symbolic link from a
# read-only folder shows its picture on this machine's X server and a key
# ends it with 0; zep-render on the download's own data gives every frame of
# the manifest.
# Usage: download_system_test.sh SUITE TARBALL WORK_DIR MANIFEST     (as root)
set -u
. "$(dirname "$0")/system_checks.sh"
on_clean_system download "$@"
TARBALL=$FILE
mkdir -p "$root/home/viewer/My Downloads" "$root/home/viewer/read only"
tar -C "$root/home/viewer/My Downloads" -xzf "$TARBALL" || fail "cannot unpack $TARBALL"
top=$(cd "$root/home/viewer/My Downloads" && ls | head -n 1)
unpacked="/home/viewer/My Downloads/$top"
ln -s "$unpacked/zep" "$root/home/viewer/zep link"
chmod 555 "$root/home/viewer/read only"

shows_picture "zep through a link, from a read-only folder" \
    "cd '/home/viewer/read only' && exec '/home/viewer/zep link'"

data=$(cd "$root$unpacked" && dirname "$(find . -name "${ZEP_MODULE:?the module name}" | head -n 1)")
in_system "$unpacked/zep-render" --data "$unpacked/$data" --hashes - >"$WORK/hashes" 2>"$WORK/err" ||
    fail "zep-render failed: $(cat "$WORK/err")"
cmp -s "$MANIFEST" "$WORK/hashes" || fail "the download's zep-render gives other frames than the manifest"

leave_system
rm -rf "$root"
finish_checks "$SUITE download"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep's Debian package on a clean Debian system (scripts/test-system.sh): apt
# installs it with its dependencies from the archive, zep started from the
# home folder and from its menu entry shows its picture on this machine's X
# server and a key ends it with 0, the installed zep-render on the installed
# data gives every frame of the manifest, and a purge leaves no file of the
# package behind.
# Usage: deb_test.sh SUITE DEB WORK_DIR MANIFEST     (as root)
set -u
. "$(dirname "$0")/system_checks.sh"
on_clean_system package "$@"
DEB=$FILE
cp "$DEB" "$root/tmp/"
deb=/tmp/$(basename "$DEB")
in_system apt-get install -y -qq --no-install-recommends "$deb" >"$WORK/install.log" 2>&1 ||
    fail "apt-get install failed: $(tail -n 5 "$WORK/install.log")"
in_system dpkg -L zep >"$WORK/files" 2>&1 || fail "zep is not installed"

shows_picture "zep from the home folder" "cd /root && exec zep"
# The menu entry: its command, started as a desktop starts it, and its icon.
entry=$(find "$root/usr/share/applications" -name '*.desktop' | head -n 1)
command=$(sed -n 's/^Exec=//p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
shows_picture "the menu entry's command '$command'" "cd / && exec $command"
for size in 48x48 256x256; do
    [ -s "$root/usr/share/icons/hicolor/$size/apps/$icon.png" ] || fail "the menu entry's icon '$icon' has no $size picture"
done

# Every frame of the whole run.
in_system zep-render --data /usr/share/games/zep --hashes - >"$WORK/hashes" 2>"$WORK/err" ||
    fail "zep-render failed: $(cat "$WORK/err")"
cmp -s "$MANIFEST" "$WORK/hashes" || fail "the installed zep-render's frames differ from the manifest"

# A purge takes every file of the package with it.
in_system apt-get purge -y -qq zep >"$WORK/purge.log" 2>&1 || fail "apt-get purge failed: $(tail -n 5 "$WORK/purge.log")"
left=""
while read -r path; do
    [ -f "$root$path" ] || [ -L "$root$path" ] && left="$left $path"
done <"$WORK/files"
[ -d "$root/usr/share/games/zep" ] && left="$left /usr/share/games/zep/"
[ -d "$root/usr/lib/games/zep" ] && left="$left /usr/lib/games/zep/"
[ -z "$left" ] || fail "left after the purge:$left"

leave_system
rm -rf "$root"
finish_checks "$SUITE package"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The installed tree as a viewer meets it: installed by the build's install
# rules under a prefix whose path has spaces, zep started from a read-only
# folder elsewhere and through a symbolic link plays its installed data
# (SDL's off-screen drivers; SIGTERM ends it); the installed
# zep-render gives the manifest's frames on the installed data; a missing data
# folder is named; the menu entry, metainfo and man pages validate; make
# install honours PREFIX and DESTDIR.
# Usage: install_test.sh BUILD_DIR WORK_DIR MANIFEST
set -u
BUILD=$1 WORK=$2 MANIFEST=$3
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/cli_checks.sh"

root="$WORK/a prefix"
DESTDIR="$root" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    { fail "cmake --install failed: $(cat "$WORK/install.log")"; finish_checks install; }
bin=$(find "$root" -type f -name zep-render | head -n 1)
bindir=$(dirname "$bin")
share="$root/usr/share"
data=$(dirname "$(find "$root" -name "${ZEP_MODULE:?the module name}" | head -n 1)")
[ -x "$bindir/zep" ] || fail "no zep beside zep-render in $bindir"

# zep from a read-only folder, through a link, plays; SIGTERM ends it.
check_plays "$bindir/zep" "the installed zep"

# The installed zep-render on the installed data: the manifest's frames.
"$bin" --data "$data" --to 3 --hashes - >"$WORK/hashes" 2>"$WORK/err" ||
    fail "the installed zep-render failed: $(cat "$WORK/err")"
sed -n 1,3p "$MANIFEST" | cmp -s - "$WORK/hashes" || fail "installed data gives other frames: $(cat "$WORK/hashes")"

# The data folder gone: named, status 1; but --help needs none, and --data
# names another, relative to where zep was started.
mv "$data" "$data.gone"
expect 1 "cannot open the data folder" -- "$bindir/zep"
"$bindir/zep" --help >"$WORK/out" 2>"$WORK/err" || fail "--help without the data folder: $(cat "$WORK/err")"
(cd "$(dirname "$data")" && exec env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$bindir/zep" \
    --data "$(basename "$data").gone") >"$WORK/out" 2>"$WORK/err" &
pid=$!
sleep 2
kill -0 $pid 2>/dev/null || fail "zep --data with a relative folder did not play: $(cat "$WORK/err")"
kill -TERM $pid
wait_for $pid 100
mv "$data.gone" "$data"

# What a desktop reads.
desktop-file-validate "$share"/applications/*.desktop >"$WORK/desktop" 2>&1 ||
    fail "the menu entry does not validate: $(cat "$WORK/desktop")"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml >"$WORK/metainfo" 2>&1 ||
    fail "the metainfo does not validate: $(cat "$WORK/metainfo")"
for page in "$share"/man/man6/*.6; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
for size in 48x48 256x256; do
    [ -s "$share/icons/hicolor/$size/apps/zep.png" ] || fail "no $size icon"
done

# The man page names the data folder where it was installed.
grep -q '^zep-render \\-\\-data /usr/share/games/zep \\-\\-hashes' "$share/man/man6/zep-render.6" ||
    fail "zep-render(6) does not name the installed data folder /usr/share/games/zep"

# make install: the same tree under PREFIX, staged in DESTDIR, and nothing
# written under PREFIX itself; the man page names PREFIX's data folder.
stage="$WORK/make stage"
prefix=/opt/zep-install-test
make -C "$(dirname "$0")/.." --no-print-directory install BUILD="$BUILD" PREFIX="$prefix" \
    DESTDIR="$stage" >"$WORK/make-install.log" 2>&1 ||
    fail "make install failed: $(tail -n 5 "$WORK/make-install.log")"
[ -e "$prefix" ] && fail "make install with DESTDIR wrote into $prefix itself"
for file in bin/zep bin/zep-render "share/games/zep/$ZEP_MODULE" share/man/man6/zep.6 \
    share/applications/org.zepdemo.zep.desktop share/metainfo/org.zepdemo.zep.metainfo.xml; do
    [ -s "$stage$prefix/$file" ] || fail "make install left out $prefix/$file"
done
grep -q "^zep-render \\\\-\\\\-data $prefix/share/games/zep " "$stage$prefix/share/man/man6/zep-render.6" ||
    fail "make install's zep-render(6) does not name $prefix/share/games/zep"
"$stage$prefix/bin/zep-render" --data "$stage$prefix/share/games/zep" --to 1 --hashes - >"$WORK/make-hashes" 2>&1 ||
    fail "zep-render installed by make install failed: $(cat "$WORK/make-hashes")"
sed -n 1p "$MANIFEST" | cmp -s - "$WORK/make-hashes" || fail "zep-render installed by make install draws another first frame"

finish_checks install

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The window icon's header, made at build time from its picture: its pixels
# are the picture's as ffmpeg decodes it, whichever of PNG's row filters and
# colour types wrote the file; a picture it cannot use is refused with
# status 1 and a message, and leaves no header behind.
# Usage: window_icon_test.sh SOURCE_DIR PYTHON WORK_DIR
set -u
source_dir=$1
python=$2
work=$3
script=$source_dir/platforms/sdl/window_icon.py
icon=$source_dir/icons/hicolor/64x64/apps/zep.png
rm -rf "$work" && mkdir -p "$work" || exit 1
status=0
fail() { echo "FAIL: $*"; status=1; }

# The array's values, one a line.
values() { sed -n 's/^    \(0x.*\),$/\1/p' "$1" | tr ' ' '\n' | tr -d ,; }

"$python" "$script" "$icon" "$work/icon.h" || fail "the committed picture is refused"
grep -q 'kWindowIconSize = 64;' "$work/icon.h" || fail "the header does not give the side 64"
values "$work/icon.h" >"$work/icon.values"
[ "$(wc -l <"$work/icon.values")" -eq 4096 ] || fail "the header holds $(wc -l <"$work/icon.values") pixels, not 4096"

# The same pixels as ffmpeg reads them, as 0xAARRGGBB.
ffmpeg -nostdin -loglevel error -i "$icon" -f rawvideo -pix_fmt bgra - |
    od -An -v -tx4 --endian=little -w4 | sed 's/^ */0x/' >"$work/ffmpeg.values"
cmp -s "$work/icon.values" "$work/ffmpeg.values" || fail "the header's pixels differ from the picture's"

# Written again with each row filter, and with an alpha channel: the same
# header.
for pred in none sub up avg paeth mixed; do
    ffmpeg -nostdin -loglevel error -i "$icon" -pred "$pred" "$work/pred-$pred.png" || exit 1
    "$python" "$script" "$work/pred-$pred.png" "$work/pred-$pred.h" || fail "filter $pred refused"
    cmp -s "$work/icon.h" "$work/pred-$pred.h" || fail "filter $pred gives other pixels"
done
ffmpeg -nostdin -loglevel error -i "$icon" -pix_fmt rgba -pred mixed "$work/rgba.png" || exit 1
"$python" "$script" "$work/rgba.png" "$work/rgba.h" || fail "RGBA refused"
cmp -s "$work/icon.h" "$work/rgba.h" || fail "RGBA gives other pixels"

# Pictures it cannot use.
refused() {
    name=$1
    shift
    rm -f "$work/out.h"
    "$python" "$script" "$@" "$work/out.h" 2>"$work/err"
    rc=$?
    [ "$rc" = 1 ] || fail "$name: status $rc, not 1"
    [ -s "$work/err" ] || fail "$name: no message"
    [ ! -e "$work/out.h" ] && [ ! -e "$work/out.h.tmp" ] || fail "$name: a header was left"
}
ffmpeg -nostdin -loglevel error -i "$icon" -vf scale=64:32 "$work/wide.png" || exit 1
refused "a picture not square" "$work/wide.png"
grep -q 'not square' "$work/err" || fail "the message does not say the picture is not square"
ffmpeg -nostdin -loglevel error -i "$icon" -pix_fmt rgb48be "$work/deep.png" || exit 1
refused "16-bit samples" "$work/deep.png"
head -c 200 "$icon" >"$work/short.png"
refused "a file cut short" "$work/short.png"
# A byte of the pixel data changed: its chunk's checksum no longer holds.
size=$(wc -c <"$icon")
{ head -c $((size - 20)) "$icon"; printf 'X'; tail -c 19 "$icon"; } >"$work/changed.png"
refused "a changed byte" "$work/changed.png"
grep -q 'checksum' "$work/err" || fail "the message does not name the checksum"
echo "not a picture" >"$work/text.png"
refused "a text file" "$work/text.png"
refused "a missing file" "$work/missing.png"

[ "$status" = 0 ] && echo "the window icon's header holds its picture's pixels"
exit "$status"

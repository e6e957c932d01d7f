#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Draws zep's icon from its own picture: the centre of a polar-tunnel frame
# as zep-render shows it, cropped square and scaled down by ffmpeg. Writes
#   icons/hicolor/48x48/apps/zep.png, icons/hicolor/256x256/apps/zep.png
#                            the Linux desktop icons
#   icons/hicolor/64x64/apps/zep.png
#                            the window's icon (the build writes its pixels
#                            into platforms/sdl/window_icon.h)
#   windows/zep.ico          16, 32, 48 and 256 pixels, for zep.exe
# Usage (from the top folder, after make build): scripts/make-icons.sh [BUILD_DIR]
set -eu
BUILD=${1:-build}
FRAME=5760
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$BUILD/zep-data" "$work/data" >/dev/null
"$BUILD/zep-render" --data "$work/data" --from $FRAME --to $FRAME --png "$work/frames" 2>/dev/null
source="$work/frames/frame_$(printf %06d $FRAME).png"
# The tunnel's centre, 400 x 400 of the 640 x 480 picture.
crop="crop=400:400:120:40"
for size in 16 32 48 64 256; do
    ffmpeg -nostdin -loglevel error -y -i "$source" \
        -vf "$crop,scale=$size:$size:flags=area" -fflags +bitexact "$work/icon$size.png"
done
ffmpeg -nostdin -loglevel error -y -i "$source" -vf "$crop,scale=64:64:flags=area" \
    -f rawvideo -pix_fmt bgra "$work/icon64.bgra"
mkdir -p icons/hicolor/48x48/apps icons/hicolor/64x64/apps icons/hicolor/256x256/apps
cp "$work/icon48.png" icons/hicolor/48x48/apps/zep.png
cp "$work/icon256.png" icons/hicolor/256x256/apps/zep.png
python3 - "$work" <<'PY'
import struct, sys, zlib
work = sys.argv[1]
# An ICO file of PNG images (Windows Vista and later read them).
sizes = [16, 32, 48, 256]
images = [open(f"{work}/icon{s}.png", "rb").read() for s in sizes]
offset = 6 + 16 * len(images)
with open("windows/zep.ico", "wb") as ico:
    ico.write(struct.pack("<HHH", 0, 1, len(images)))
    for size, data in zip(sizes, images):
        side = size if size < 256 else 0
        ico.write(struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset))
        offset += len(data)
    for data in images:
        ico.write(data)
# The window icon: 64 x 64 pixels of 8-bit RGB, as the scaled picture's
# BGRA bytes give them (alpha is opaque throughout).
raw = open(f"{work}/icon64.bgra", "rb").read()
rows = b"".join(b"\0" + bytes(v for x in range(64) for v in raw[(y * 64 + x) * 4:(y * 64 + x) * 4 + 3][::-1])
                for y in range(64))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
with open("icons/hicolor/64x64/apps/zep.png", "wb") as png:
    png.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 64, 64, 8, 2, 0, 0, 0))
              + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
PY
echo "wrote icons/hicolor/*/apps/zep.png and windows/zep.ico"

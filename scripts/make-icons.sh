#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Draws zep's icon from its own picture: the centre of a polar-tunnel frame
# as zep-render shows it, cropped square and scaled down by ffmpeg. Writes
#   icons/hicolor/48x48/apps/zep.png, icons/hicolor/256x256/apps/zep.png
#                            the Linux desktop icons
#   windows/zep.ico          16, 32, 48 and 256 pixels, for zep.exe
#   shell/sdl/window_icon.h  64 x 64 pixels, the window's icon
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
mkdir -p icons/hicolor/48x48/apps icons/hicolor/256x256/apps
cp "$work/icon48.png" icons/hicolor/48x48/apps/zep.png
cp "$work/icon256.png" icons/hicolor/256x256/apps/zep.png
python3 - "$work" <<'PY'
import struct, sys
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
# The window icon: 64 x 64 pixels 0xAARRGGBB, rows top to bottom.
raw = open(f"{work}/icon64.bgra", "rb").read()
pixels = struct.unpack(f"<{64 * 64}I", raw)
with open("shell/sdl/window_icon.h", "w") as h:
    h.write("// The window's icon, 64 x 64 pixels 0xAARRGGBB, rows top to bottom.\n")
    h.write("// Written by scripts/make-icons.sh from a frame of the demo; not edited by hand.\n")
    h.write("#pragma once\n\n#include <cstdint>\n\nnamespace zep {\n\n")
    h.write("inline constexpr int kWindowIconSize = 64;\n")
    h.write("inline constexpr std::uint32_t kWindowIcon[64 * 64] = {\n")
    for row in range(64):
        line = pixels[row * 64:(row + 1) * 64]
        for k in range(0, 64, 8):
            h.write("    " + " ".join(f"0x{p | 0xff000000:08x}," for p in line[k:k + 8]) + "\n")
    h.write("};\n\n}  // namespace zep\n")
PY
echo "wrote icons/hicolor/*/apps/zep.png, windows/zep.ico and shell/sdl/window_icon.h"

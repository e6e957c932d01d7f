#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
"""Writes the window icon's header from its picture, at build time.

Usage: window_icon.py PICTURE.png HEADER.h

The picture is a square PNG of 8-bit RGB or RGBA, not interlaced; the header
holds its pixels as 0xAARRGGBB, rows top to bottom (kWindowIcon), and its
side (kWindowIconSize). A picture of another kind is refused with status 1,
and a header is written whole or not at all.
"""
import os
import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


class BadPicture(Exception):
    pass


def chunks(data):
    at = len(SIGNATURE)
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if len(body) != length or at + 12 + length > len(data):
            raise BadPicture("a chunk runs past the end of the file")
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise BadPicture(f"the {kind.decode('latin-1')} chunk's checksum is wrong")
        yield kind, body
        at += 12 + length
        if kind == b"IEND":
            return
    raise BadPicture("the file ends before its IEND chunk")


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width, height, channels):
    stride = width * channels
    if len(raw) != height * (stride + 1):
        raise BadPicture(f"the pixel data holds {len(raw)} bytes, not {height * (stride + 1)}")
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 0:
                pass
            elif kind == 1:
                line[x] = (line[x] + a) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + b) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 0xFF
            elif kind == 4:
                line[x] = (line[x] + paeth(a, b, c)) & 0xFF
            else:
                raise BadPicture(f"row {y} has filter {kind}, which PNG does not define")
        rows.append(bytes(line))
        previous = line
    return rows


def read_png(data):
    """The picture's side and its pixels as 0xAARRGGBB, rows top to bottom."""
    if not data.startswith(SIGNATURE):
        raise BadPicture("it is not a PNG file")
    header = None
    compressed = b""
    for kind, body in chunks(data):
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            compressed += body
    if header is None or len(header) != 13:
        raise BadPicture("it has no image header")
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    if width != height or width == 0:
        raise BadPicture(f"it is {width} x {height} pixels, not square")
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise BadPicture("it is not 8-bit RGB or RGBA without interlacing")
    channels = 3 if colour == 2 else 4
    try:
        raw = zlib.decompress(compressed)
    except zlib.error as error:
        raise BadPicture(f"its pixel data does not decompress: {error}") from None
    pixels = []
    for line in unfilter(raw, width, height, channels):
        for x in range(width):
            p = line[x * channels:(x + 1) * channels]
            alpha = p[3] if channels == 4 else 0xFF
            pixels.append(alpha << 24 | p[0] << 16 | p[1] << 8 | p[2])
    return width, pixels


def header_text(side, pixels):
    out = [
        f"// The window's icon, {side} x {side} pixels 0xAARRGGBB, rows top to bottom.\n",
        "// Written at build time from icons/ by platforms/sdl/window_icon.py.\n",
        "#pragma once\n\n#include <cstdint>\n\nnamespace zep {\n\n",
        f"inline constexpr int kWindowIconSize = {side};\n",
        f"inline constexpr std::uint32_t kWindowIcon[{side} * {side}] = {{\n",
    ]
    for k in range(0, len(pixels), 8):
        out.append("    " + " ".join(f"0x{p:08x}," for p in pixels[k:k + 8]) + "\n")
    out.append("};\n\n}  // namespace zep\n")
    return "".join(out)


def main(argv):
    if len(argv) != 3:
        print("usage: window_icon.py PICTURE.png HEADER.h", file=sys.stderr)
        return 2
    picture, header = argv[1], argv[2]
    try:
        with open(picture, "rb") as f:
            side, pixels = read_png(f.read())
    except OSError as error:
        print(f"window_icon.py: cannot read {picture}: {error.strerror}", file=sys.stderr)
        return 1
    except BadPicture as error:
        print(f"window_icon.py: {picture}: {error}", file=sys.stderr)
        return 1
    temporary = header + ".tmp"
    with open(temporary, "w", encoding="ascii", newline="\n") as f:
        f.write(header_text(side, pixels))
    os.replace(temporary, header)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Lays out a Linux download from a build configured with
# ZEP_DISTRIBUTION=download (cmake/linux-download.cmake): the installed
# programs, SDL2 and data, README.txt and the licence of every library
# inside, and packs it as NAME.tar.gz that depends only on the files'
# names, bytes and executable bits: names sorted, owner and group 0, every time
# SOURCE_DATE_EPOCH (the last commit's time), gzip without name or time.
# Usage: make-linux-download.sh BUILD_DIR STAGE_DIR NAME DEPS_DIR STRIP OUT.tar.gz
set -eu
[ $# -eq 6 ] || { echo "usage: make-linux-download.sh BUILD STAGE NAME DEPS STRIP OUT" >&2; exit 2; }
BUILD=$1 STAGE=$2 NAME=$3 DEPS=$4 STRIP=$5 OUT=$6
SOURCE_DATE_EPOCH=$("$(dirname "$0")/version.sh" epoch)
export SOURCE_DATE_EPOCH
umask 022

rm -rf "$STAGE" "$OUT"
mkdir -p "$STAGE"
cmake --install "$BUILD" --prefix "$STAGE/install" --strip >"$STAGE/install.log"
top=$STAGE/$NAME
mkdir -p "$top/licenses"
cp -p "$STAGE/install/zep" "$STAGE/install/zep-render" "$top/"
cp -pR "$STAGE/install/lib" "$STAGE/install/data" "$top/"

# cmake --install strips the programs, not the library it copies.
"$STRIP" --strip-unneeded "$top/lib/libSDL2-2.0.so.0"
chmod 644 "$top/lib/libSDL2-2.0.so.0"

for dir in "$DEPS"/*-*/share/licenses/*; do
    [ -d "$dir" ] || continue
    for file in "$dir"/*; do
        cp "$file" "$top/licenses/$(basename "$dir").txt"
    done
done
# libstdc++ and libgcc are linked in under the GCC Runtime Library Exception
# to the GPL version 3.
sed -n '/^GCC RUNTIME LIBRARY EXCEPTION/,/requirements of the license of GCC\./p' \
    /usr/share/doc/gcc-12-base/copyright >"$top/licenses/GCC-runtime-exception.txt"
cp /usr/share/common-licenses/GPL-3 "$top/licenses/GPL-3.txt"
[ -s "$top/licenses/GCC-runtime-exception.txt" ] ||
    { echo "make-linux-download: no GCC runtime exception text" >&2; exit 1; }
for name in SDL2 zlib libpng libopenmpt; do
    [ -s "$top/licenses/$name.txt" ] ||
        { echo "make-linux-download: no licence of $name in $DEPS" >&2; exit 1; }
done
cp "$BUILD/generated/linux-README.txt" "$top/README.txt"
cp "$(dirname "$0")/../LICENSE" "$top/LICENSE"

find "$top" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
tar -C "$STAGE" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$SOURCE_DATE_EPOCH" \
    --mode=go-w --format=gnu -cf - "$NAME" | gzip -9n >"$OUT.partial"
mv "$OUT.partial" "$OUT"

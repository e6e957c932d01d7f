#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Writes FILE.gz and FILE.br beside each FILE named, for static hosts that
# serve a precompressed copy to browsers that accept it; the same bytes on
# every build (no names or times inside). Files already compressed (the data
# pack, the music, the icons) are left as they are. Usage:
# precompress.sh DIR FILE...
set -eu
DIR=$1
shift
for name in "$@"; do
    file="$DIR/$name"
    [ -f "$file" ] || { echo "precompress.sh: no file $file" >&2; exit 1; }
    gzip -9nc "$file" >"$file.gz.tmp"
    brotli -q 11 -c "$file" >"$file.br.tmp"
    mv "$file.gz.tmp" "$file.gz"
    mv "$file.br.tmp" "$file.br"
done

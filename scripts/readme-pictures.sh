#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Renders the small pictures of the scenes at the top of the README into
# docs/: for each scene the frame its entry in the scene table names
# (zep-render --scenes), by zep-render on the default data, scaled down to
# 192x144 by ffmpeg. Usage (from the top folder, after make build):
#   scripts/readme-pictures.sh [BUILD_DIR]
set -eu
BUILD=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$BUILD/zep-data" "$work/data" >/dev/null
"$BUILD/zep-render" --scenes | sed -n 's/.*"picture": \([0-9]*\).*/\1/p' >"$work/pictures"
mkdir -p docs
scene=0
while read -r frame; do
    scene=$((scene + 1))
    "$BUILD/zep-render" --data "$work/data" --from "$frame" --to "$frame" --png "$work/frames" 2>/dev/null
    ffmpeg -nostdin -loglevel error -y -i "$work/frames/frame_$(printf %06d "$frame").png" \
        -vf scale=192:144:flags=area -fflags +bitexact "docs/scene$scene.png"
done <"$work/pictures"
[ "$scene" -gt 0 ] || { echo "readme-pictures.sh: zep-render --scenes named no pictures" >&2; exit 1; }
echo "wrote docs/scene1.png to docs/scene$scene.png"

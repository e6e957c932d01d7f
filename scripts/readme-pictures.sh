#!/bin/sh
# Renders the small pictures of the six scenes at the top of the README into
# docs/: one frame of each scene by zep-render on the default data, scaled
# down to 192x144 by ffmpeg. Usage (from the top folder, after make build):
#   scripts/readme-pictures.sh [BUILD_DIR]
set -eu
BUILD=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$BUILD/zep-data" "$work/data" >/dev/null
mkdir -p docs
# scene number, frame at 60 frames a second
for shot in "1 600" "2 1900" "3 3100" "4 4160" "5 4820" "6 5760"; do
    set -- $shot
    "$BUILD/zep-render" --data "$work/data" --from "$2" --to "$2" --png "$work/frames" 2>/dev/null
    ffmpeg -nostdin -loglevel error -y -i "$work/frames/frame_$(printf %06d "$2").png" \
        -vf scale=192:144:flags=area -fflags +bitexact "docs/scene$1.png"
done
echo "wrote docs/scene1.png to docs/scene6.png"

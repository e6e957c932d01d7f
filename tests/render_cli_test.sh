#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep-render as a user runs it: outputs, frame selection, bad options and
# missing data.
# Usage: render_cli_test.sh ZEP_RENDER ZEP_DATA DATA_DIR WORK_DIR MANIFEST VERSION
set -u
RENDER=$1
ZEP_DATA=$2
DATA=$3
WORK=$4
MANIFEST=$5
VERSION=$6
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/cli_checks.sh"

# Each program names itself and the release; a version that cannot be
# written is an error.
[ "$("$RENDER" --version)" = "zep-render $VERSION" ] || fail "zep-render --version printed '$("$RENDER" --version)'"
[ "$("$ZEP_DATA" --version)" = "zep-data $VERSION" ] || fail "zep-data --version printed '$("$ZEP_DATA" --version)'"
expect 2 "cannot write the version" -- sh -c 'exec "$0" --version >/dev/full' "$RENDER"

# The scene table: the run's frame count is the manifest's, the last scene
# ends on it, and the page's build and the README pictures can read it.
"$RENDER" --scenes >"$WORK/scenes.json" || fail "zep-render --scenes failed"
frames=$(sed -n '1s/.*"frames": \([0-9]*\).*/\1/p' "$WORK/scenes.json")
[ "$frames" = "$(wc -l <"$MANIFEST" | tr -d ' ')" ] || fail "zep-render --scenes gives $frames frames, the manifest has $(wc -l <"$MANIFEST")"
last=$(sed -n 's/.*"last": \([0-9]*\).*/\1/p' "$WORK/scenes.json" | tail -n 1)
[ "$last" = "$frames" ] || fail "the last scene ends on frame $last, the run on $frames"
[ "$(grep -c '"picture"' "$WORK/scenes.json")" -ge 1 ] || fail "zep-render --scenes lists no scenes"
python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$WORK/scenes.json" ||
    fail "zep-render --scenes is not JSON: $(cat "$WORK/scenes.json")"
expect 2 "cannot write the scene table" -- sh -c 'exec "$0" --scenes >/dev/full' "$RENDER"

expect 2 "unknown option '--nope'" -- "$RENDER" --nope
expect 2 "--to (2) is before --from (5)" -- "$RENDER" --data "$DATA" --from 5 --to 2
expect 2 "cannot write /nonexistent/dir/x.raw" -- "$RENDER" --data "$DATA" --to 1 --rawvideo /nonexistent/dir/x.raw
mkdir -p "$WORK/no-data"
expect 1 "is missing (it needs 262144 bytes)" -- "$RENDER" --data "$WORK/no-data" --to 1 --rawvideo "$WORK/x.raw"
expect 2 "needs ffmpeg, which is not installed" -- env PATH=/nonexistent "$RENDER" --data "$DATA" --to 1 --video "$WORK/x.mp4"

# Raw video: exactly the selected frames, 640 x 480 x 4 bytes each.
"$RENDER" --data "$DATA" --from 2 --to 4 --rawvideo "$WORK/three.raw" || fail "raw video run failed"
size=$(wc -c <"$WORK/three.raw")
[ "$size" -eq $((3 * 640 * 480 * 4)) ] || fail "raw video has $size bytes, expected three frames"

# The same frames on standard output.
"$RENDER" --data "$DATA" --from 2 --to 4 --rawvideo - >"$WORK/stdout.raw" || fail "raw video to stdout failed"
cmp -s "$WORK/three.raw" "$WORK/stdout.raw" || fail "raw video to a file and to stdout differ"

# Frame hashes: the manifest's lines for the frames asked for, across the
# first scene change, to a file and to standard output.
"$RENDER" --data "$DATA" --from 1319 --to 1322 --hashes "$WORK/hashes.txt" || fail "hashes run failed"
sed -n 1319,1322p "$MANIFEST" | cmp -s - "$WORK/hashes.txt" || fail "frame hashes differ from the manifest: $(cat "$WORK/hashes.txt")"
"$RENDER" --data "$DATA" --from 1319 --to 1322 --hashes - >"$WORK/hashes-stdout.txt" || fail "hashes to stdout failed"
cmp -s "$WORK/hashes.txt" "$WORK/hashes-stdout.txt" || fail "frame hashes to a file and to stdout differ"
# A key after frame 2 ends the run there, whatever --to says.
head -n 2 "$MANIFEST" >"$WORK/first-two"
"$RENDER" --data "$DATA" --to 10 --key-after 2 --hashes - | cmp -s - "$WORK/first-two" || fail "--key-after 2 did not end the hashes after frame 2"
# --cpu: each copy of the scenes the build holds draws the manifest's
# frames; one the build lacks (or this CPU cannot run) is refused by name.
for cpu in auto avx2 baseline native; do
    if "$RENDER" --data "$DATA" --from 1319 --to 1322 --cpu $cpu --hashes "$WORK/cpu.txt" 2>"$WORK/cpu.err"; then
        sed -n 1319,1322p "$MANIFEST" | cmp -s - "$WORK/cpu.txt" || fail "--cpu $cpu: frame hashes differ from the manifest"
    else
        status=$?
        [ $status -eq 2 ] && grep -Eq -- "^zep-render: --cpu $cpu: this (build holds no $cpu code|CPU cannot run the $cpu code) \\(choose one of .*auto\\)$" "$WORK/cpu.err" ||
            fail "--cpu $cpu: status $status, $(head -n 1 "$WORK/cpu.err")"
    fi
done
expect 2 "--cpu needs one of" -- "$RENDER" --data "$DATA" --to 1 --cpu fastest
expect 2 "cannot both write to standard output" -- "$RENDER" --data "$DATA" --to 1 --rawvideo - --hashes -

# PNG frames, numbered from the first frame drawn, scaled on request.
"$RENDER" --data "$DATA" --from 2 --to 3 --png "$WORK/png" --scale 2 || fail "png run failed"
[ -f "$WORK/png/frame_000002.png" ] && [ -f "$WORK/png/frame_000003.png" ] || fail "png frames missing"
[ -f "$WORK/png/frame_000001.png" ] && fail "frame 1 written though --from is 2"
[ "$(ls "$WORK/png" | wc -l)" -eq 2 ] || fail "unexpected files in the png folder"

# Video: a short export across the first scene cut (the first scene's last
# frame and the next).
cut=$(sed -n 's/.*"last": \([0-9]*\).*/\1/p' "$WORK/scenes.json" | head -n 1)
from=$((cut - 9))
to=$((cut + 10))
if command -v ffprobe >/dev/null 2>&1; then
    V=$WORK/video
    mkdir -p "$V"
    "$RENDER" --data "$DATA" --from $from --to $to --video "$V/share.mp4" --png "$V/png" ||
        fail "video run failed"
    probe() {
        ffprobe -v error -select_streams "$1" -show_entries "stream=$2" -of default=nw=1 "$3" | tr '\n' ' '
    }
    # --quality share: 1280 x 960, 4:2:0 tagged as BT.709 limited range;
    # 48 kHz stereo AAC-LC; the index (moov) before the media data.
    video=$(probe v width,height,pix_fmt,color_range,color_space,color_transfer,color_primaries "$V/share.mp4")
    [ "$video" = "width=1280 height=960 pix_fmt=yuv420p color_range=tv color_space=bt709 color_transfer=bt709 color_primaries=bt709 " ] ||
        fail "the video stream is '$video'"
    audio=$(probe a codec_name,profile,sample_rate,channels "$V/share.mp4")
    [ "$audio" = "codec_name=aac profile=LC sample_rate=48000 channels=2 " ] || fail "the audio stream is '$audio'"
    first=$(ffprobe -v trace "$V/share.mp4" 2>&1 | grep -o "type:'\(moov\|mdat\)'" | head -n 1)
    [ "$first" = "type:'moov'" ] || fail "the MP4's first box of moov and mdat is $first"

    # Decoded as a player decodes it, with the matrix and range its tags
    # name, then scaled back with nearest sampling: every frame within
    # 32.5 dB of its PNG (the hardest scene, the first, reaches 32.9 dB).
    space=$(probe v color_space "$V/share.mp4" | sed 's/color_space=//; s/ //')
    range=$(probe v color_range "$V/share.mp4" | sed 's/color_range=//; s/ //')
    ffmpeg -v error -i "$V/share.mp4" -framerate 60 -start_number $from -i "$V/png/frame_%06d.png" -lavfi \
        "[0:v]scale=1280:960:in_color_matrix=$space:in_range=$range:flags=bicubic+accurate_rnd+full_chroma_int,format=rgb24,scale=640:480:flags=neighbor[a];[1:v]format=rgb24[b];[a][b]psnr=stats_file=$V/psnr.txt" \
        -f null - || fail "the PSNR run failed"
    worst=$(awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { v = substr($i, 10); n++; if (v != "inf" && (min == "" || v + 0 < min)) min = v + 0 } }
                 END { print n, min }' "$V/psnr.txt")
    set -- $worst
    [ "${1:-0}" -eq 20 ] || fail "the PSNR compared ${1:-0} frames, not 20"
    awk -v m="${2:-0}" 'BEGIN { exit !(m >= 32.5) }' || fail "a frame of the video is at ${2:-none} dB of its PNG"

    # --quality archive decodes to exactly the --rawvideo frames (colour
    # bytes; ffmpeg's bgr0 fills the unused fourth byte itself).
    "$RENDER" --data "$DATA" --from $from --to $to --video "$V/archive.mp4" --quality archive ||
        fail "archive video run failed"
    "$RENDER" --data "$DATA" --from $from --to $to --rawvideo "$V/frames.raw" || fail "raw video run failed"
    ffmpeg -v error -i "$V/archive.mp4" -f rawvideo -pix_fmt bgr24 "$V/archive.bgr" || fail "decoding the archive failed"
    ffmpeg -v error -f rawvideo -pixel_format bgr0 -video_size 640x480 -i "$V/frames.raw" -f rawvideo -pix_fmt bgr24 \
        "$V/frames.bgr" || fail "repacking the raw video failed"
    cmp -s "$V/archive.bgr" "$V/frames.bgr" || fail "the archive video does not decode to the raw video's pixels"
    audio=$(probe a codec_name,sample_rate,channels "$V/archive.mp4")
    [ "$audio" = "codec_name=alac sample_rate=48000 channels=2 " ] || fail "the archive's audio is '$audio'"
    rm -rf "$V"
fi

# The flash check names the seconds that fail: a wall of bright and dark
# bands, eight texels each, rushing by in the polar tunnel.
mkdir -p "$WORK/flashing"
cp "$DATA"/* "$WORK/flashing/"
: >"$WORK/flashing/tex2.raw"
for band in $(seq 16); do
    head -c 8192 /dev/zero | tr '\0' '\377' >>"$WORK/flashing/tex2.raw"
    head -c 8192 /dev/zero >>"$WORK/flashing/tex2.raw"
done
expect 1 "general flashes" -- "$RENDER" --data "$WORK/flashing" --from 5161 --to 5400 --flashes
grep -q "^zep-render: second 8[6-9] (frames [0-9]* to [0-9]*): general flashes, [0-9]* in one second, over a quarter of a 10-degree field at x [0-9]*-[0-9]*, y [0-9]*-[0-9]*" "$WORK/err" ||
    fail "the flash check's lines do not name the second, the kind and the place: $(cat "$WORK/err")"
expect 0 "no flashes above the threshold in frames 5161 to 5400" -- "$RENDER" --data "$DATA" --from 5161 --to 5400 --flashes
[ -s "$WORK/stdout" ] && fail "the flash check wrote to standard output"
rm -rf "$WORK/flashing"

finish_checks zep-render

#!/bin/sh
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

# A short MP4 with video and audio streams.
if command -v ffprobe >/dev/null 2>&1; then
    "$RENDER" --data "$DATA" --to 30 --video "$WORK/short.mp4" || fail "video run failed"
    streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$WORK/short.mp4" | sort | tr '\n' ' ')
    [ "$streams" = "audio video " ] || fail "video streams are '$streams'"
fi

finish_checks zep-render

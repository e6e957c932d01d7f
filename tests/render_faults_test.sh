#!/bin/sh
# zep-render on bad input and failing outputs: every failure says what is
# wrong on standard error, ends with its status, and leaves no output file
# that looks finished and no temporary file.
# Usage: render_faults_test.sh ZEP_RENDER DATA_DIR WORK_DIR
set -u
RENDER=$1
DATA=$2
WORK=$3
rm -rf "$WORK" && mkdir -p "$WORK/out" "$WORK/tmp"
export TMPDIR="$WORK/tmp"
. "$(dirname "$0")/cli_checks.sh"


# The output folder holds exactly the files named, and the temporary folder
# nothing.
only() {
    have=$(cd "$WORK/out" && ls -A | tr '\n' ' ')
    [ "$have" = "$*" ] || fail "output folder holds '$have', expected '$*'"
    [ -z "$(ls -A "$WORK/tmp")" ] || fail "temporary files left: $(ls -A "$WORK/tmp")"
    rm -rf "$WORK/out" && mkdir -p "$WORK/out"
}

# A data folder of our own to break.
copy_data() {
    rm -rf "$WORK/$1" && mkdir -p "$WORK/$1" && cp "$DATA"/* "$WORK/$1/"
}
frame=$((640 * 480 * 4))

# Frame ranges past the end of the demo (1072 frames at 10 fps).
expect 2 "--from 5000 is past the last frame: the demo has 1072 frames at 10 frames a second" -- \
    "$RENDER" --data "$DATA" --fps 10 --from 5000 --video "$WORK/out/x.mp4"
only ""
expect 0 "--to 9223372036854775807 is past the last frame: the demo has 1072 frames at 10 frames" -- \
    "$RENDER" --data "$DATA" --fps 10 --from 1071 --to 9223372036854775807 --rawvideo "$WORK/out/end.raw"
[ "$(wc -c <"$WORK/out/end.raw")" -eq $((2 * frame)) ] || fail "frames 1071 and 1072 not written"
only "end.raw "
expect 0 "past the last frame" -- "$RENDER" --data "$DATA" --fps 10 --from 1072 --to 1000000000000 --video "$WORK/out/end.mp4"
if command -v ffprobe >/dev/null 2>&1; then
    frames=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -select_streams v -of csv=p=0 "$WORK/out/end.mp4")
    [ "$frames" = "1" ] || fail "the video of frame 1072 has '$frames' frames"
    audio=$(ffprobe -v error -show_entries stream=duration -select_streams a -of csv=p=0 "$WORK/out/end.mp4")
    case "$audio" in 0.1*|0.09*) ;; *) fail "the music of one frame at 10 fps lasts $audio s" ;; esac
fi
only "end.mp4 "
expect 2 "--fps needs a number of frames per second from 1 to 1000" -- "$RENDER" --data "$DATA" --fps 1e-300 --video "$WORK/out/x.mp4"
expect 2 "--fps needs a number" -- "$RENDER" --data "$DATA" --fps 0.5 --to 1 --rawvideo -
"$RENDER" --data "$DATA" --fps 1000 --to 1 --rawvideo - >"$WORK/stdout" || fail "--fps 1000 failed"
[ "$(wc -c <"$WORK/stdout")" -eq "$frame" ] || fail "--fps 1000 did not write one frame"

# A bad or missing module: the music layer's words and status 1 in every
# mode, nothing on standard output, no file left.
copy_data badmusic
yes "not a module" | head -c 3000 >"$WORK/badmusic/076.it"
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/badmusic" --to 3 --rawvideo -
[ -s "$WORK/stdout" ] && fail "text on standard output with --rawvideo -: $(head -c 100 "$WORK/stdout")"
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/badmusic" --to 3 --hashes -
[ -s "$WORK/stdout" ] && fail "text on standard output with --hashes -"
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/badmusic" --to 3 --video "$WORK/out/v.mp4"
only ""
# With standard output closed, the message still goes nowhere but stderr.
"$RENDER" --data "$WORK/badmusic" --to 3 --rawvideo "$WORK/out/closed.raw" >&- 2>"$WORK/err"
[ $? -eq 1 ] || fail "closed stdout, bad module: status $?"
grep -qF "Unknown file format" "$WORK/err" || fail "closed stdout, bad module: no message"
only ""
"$RENDER" --data "$DATA" --to 2 --rawvideo "$WORK/out/closed.raw" >&- 2>"$WORK/err" || fail "closed stdout: the render failed"
[ "$(wc -c <"$WORK/out/closed.raw")" -eq $((2 * frame)) ] || fail "closed stdout: the raw video is not two frames"
only "closed.raw "
rm "$WORK/badmusic/076.it"
expect 1 "File not found" -- "$RENDER" --data "$WORK/badmusic" --to 3 --video "$WORK/out/v.mp4"
expect 1 "File not found" -- "$RENDER" --data "$WORK/badmusic" --to 3 --rawvideo "$WORK/out/v.raw"
mkfifo "$WORK/badmusic/076.it"
expect 1 "Error loading file" -- timeout 20 "$RENDER" --data "$WORK/badmusic" --to 3 --video "$WORK/out/v.mp4"
only ""

# A mesh whose first face names vertex 1440 fails when its scene starts:
# status 1, and no finished-looking file of the frames before.
copy_data badmesh
printf '\240\005' | dd of="$WORK/badmesh/Surfaces.ddd" bs=1 seek=0 conv=notrunc 2>/dev/null
expect 1 "face 0 uses vertex 1440" -- "$RENDER" --data "$WORK/badmesh" --fps 10 --rawvideo "$WORK/out/v.raw" --hashes "$WORK/out/h.txt"
only ""
expect 1 "face 0 uses vertex 1440" -- "$RENDER" --data "$WORK/badmesh" --fps 10 --video "$WORK/out/v.mp4"
only ""

# Data files that are not regular files are named as what they are.
copy_data odd
rm "$WORK/odd/tex33.raw" "$WORK/odd/apic.raw" "$WORK/odd/boxb.raw"
mkdir "$WORK/odd/tex33.raw"
mkfifo "$WORK/odd/apic.raw"
ln -s boxb.raw "$WORK/odd/boxb.raw"
expect 1 '"tex33.raw" is a folder, not a file' -- timeout 20 "$RENDER" --data "$WORK/odd" --to 1 --rawvideo -
grep -qF '"apic.raw" is a named pipe' "$WORK/err" || fail "no message for the named pipe: $(cat "$WORK/err")"
grep -qF '"boxb.raw" is a loop of symbolic links' "$WORK/err" || fail "no message for the link loop: $(cat "$WORK/err")"
[ "$(wc -l <"$WORK/err")" -eq 4 ] || fail "three problems should give four lines: $(cat "$WORK/err")"
# Root reads a file of mode 000, so as root the check runs as nobody.
as_user=""
if [ "$(id -u)" -eq 0 ]; then
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi
copy_data locked
chmod 000 "$WORK/locked/tex33.raw"
# Only where that user can reach the folder and read its other files.
if $as_user test -r "$WORK/locked/ttx2.raw" && $as_user "$RENDER" --help >/dev/null 2>&1; then
    expect 1 '"tex33.raw" cannot be read: Permission denied' -- $as_user "$RENDER" --data "$WORK/locked" --to 1 --rawvideo -
else
    echo "note: no other user can read the data here; the unreadable file is not checked"
fi
expect 1 "the data folder \"$WORK/none\" does not exist" -- "$RENDER" --data "$WORK/none" --to 1 --rawvideo -
[ "$(wc -l <"$WORK/err")" -eq 2 ] || fail "a missing folder should give one line and the hint: $(cat "$WORK/err")"
expect 1 "is not a folder" -- "$RENDER" --data "$DATA/ttx2.raw" --to 1 --rawvideo -

# An output that is one of the inputs is refused before anything is opened.
copy_data self
before=$(cksum <"$WORK/self/ttx2.raw")
expect 2 "--rawvideo $WORK/self/ttx2.raw is $WORK/self/ttx2.raw, which the demo reads" -- \
    "$RENDER" --data "$WORK/self" --to 1 --rawvideo "$WORK/self/ttx2.raw"
expect 2 "which the demo reads" -- "$RENDER" --data "$WORK/self" --to 1 --hashes "$WORK/self/076.it"
expect 2 "which the demo reads" -- "$RENDER" --data "$WORK/self" --to 1 --video "$WORK/self/../self/apic.raw"
[ "$(cksum <"$WORK/self/ttx2.raw")" = "$before" ] || fail "ttx2.raw was changed"
expect 2 "--rawvideo and --hashes name the same file" -- "$RENDER" --data "$DATA" --to 1 --rawvideo "$WORK/out/a" --hashes "$WORK/out/a"
only ""

# Full or failing outputs: the system's reason, status 2, no partial file.
expect 2 "cannot write /dev/full: No space left on device" -- "$RENDER" --data "$DATA" --to 2 --rawvideo /dev/full
"$RENDER" --data "$DATA" --to 2 --hashes - >/dev/full 2>"$WORK/err"
[ $? -eq 2 ] || fail "hashes to a full stdout did not end with status 2"
grep -qF "cannot write standard output: No space left on device" "$WORK/err" || fail "hashes to a full stdout: $(cat "$WORK/err")"
(trap '' XFSZ; ulimit -f 40; exec "$RENDER" --data "$DATA" --to 2 --png "$WORK/out/png") >"$WORK/stdout" 2>"$WORK/err"
[ $? -eq 2 ] || fail "a PNG over the file size limit did not end with status 2"
grep -qF "frame_000001.png: File too large" "$WORK/err" || fail "no reason for the failed PNG: $(cat "$WORK/err")"
[ -z "$(ls -A "$WORK/out/png")" ] || fail "a partial PNG was left: $(ls -A "$WORK/out/png")"
only "png "
(trap '' XFSZ; ulimit -f 4000; exec "$RENDER" --data "$DATA" --to 5 --rawvideo "$WORK/out/cut.raw") >"$WORK/stdout" 2>"$WORK/err"
[ $? -eq 2 ] || fail "a raw video over the file size limit did not end with status 2"
grep -qF "File too large" "$WORK/err" || fail "no reason for the failed raw video: $(cat "$WORK/err")"
only ""

# Through a symbolic link the file it names is written, and the link stays.
ln -s real.raw "$WORK/out/link.raw"
"$RENDER" --data "$DATA" --to 1 --rawvideo "$WORK/out/link.raw" || fail "raw video through a link failed"
[ -L "$WORK/out/link.raw" ] || fail "the link to the output was replaced"
[ "$(wc -c <"$WORK/out/real.raw")" -eq "$frame" ] || fail "the file behind the link is not one frame"
only "link.raw real.raw "

# The help text to a closed or full standard output is a failure.
"$RENDER" --help >&- 2>"$WORK/err" && fail "--help to a closed stdout ended with 0"
grep -qF "cannot write the help text" "$WORK/err" || fail "--help to a closed stdout: $(cat "$WORK/err")"
"$RENDER" --help >/dev/full 2>"$WORK/err" && fail "--help to a full stdout ended with 0"
grep -qF "No space left on device" "$WORK/err" || fail "--help to a full stdout: $(cat "$WORK/err")"

# Interrupted: the unfinished output goes, and the process ends by the signal
# (a background job of a script starts with SIGINT ignored: env restores it).
for signal in INT TERM; do
    env --default-signal=INT "$RENDER" --data "$DATA" --video "$WORK/out/long.mp4" --rawvideo "$WORK/out/long.raw" 2>"$WORK/err" &
    pid=$!
    n=0
    while [ -z "$(ls -A "$WORK/out")" ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done
    sleep 1
    kill -s $signal $pid
    wait $pid
    status=$?
    [ "$status" -gt 128 ] || fail "SIG$signal: status $status"
    grep -qF "interrupted" "$WORK/err" || fail "SIG$signal: no message: $(cat "$WORK/err")"
    only ""
done

finish_checks "zep-render fault"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep-render on bad input and failing outputs: every failure says what is
# wrong on standard error, ends with its status, and leaves no output file
# that looks finished and no temporary file.
# Usage: render_faults_test.sh ZEP_RENDER DATA_DIR WORK_DIR MANIFEST
set -u
RENDER=$1
DATA=$2
WORK=$3
MANIFEST=$4
# The music module's file name, from the scene table.
MODULE=$("$RENDER" --scenes | sed -n 's/.*"module": "\([^"]*\)".*/\1/p')
[ -n "$MODULE" ] || { echo "render_faults_test.sh: zep-render --scenes names no module" >&2; exit 1; }
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

# Frame ranges past the end of the demo: at 10 fps, the first frame whose
# clock reaches the scene table's end is the last.
last=$("$RENDER" --scenes | sed -n '1s/.*"end": \([0-9.]*\).*/\1/p' |
    awk '{ n = int($1 * 10); if (n < $1 * 10) n++; print n }')
expect 2 "--from 1000000 is past the last frame: the demo has $last frames at 10 frames a second" -- \
    "$RENDER" --data "$DATA" --fps 10 --from 1000000 --video "$WORK/out/x.mp4"
only ""
expect 0 "--to 9223372036854775807 is past the last frame: the demo has $last frames at 10 frames" -- \
    "$RENDER" --data "$DATA" --fps 10 --from $((last - 1)) --to 9223372036854775807 --rawvideo "$WORK/out/end.raw"
[ "$(wc -c <"$WORK/out/end.raw")" -eq $((2 * frame)) ] || fail "frames $((last - 1)) and $last not written"
only "end.raw "
expect 0 "past the last frame" -- "$RENDER" --data "$DATA" --fps 10 --from "$last" --to 1000000000000 --video "$WORK/out/end.mp4"
if command -v ffprobe >/dev/null 2>&1; then
    frames=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -select_streams v -of csv=p=0 "$WORK/out/end.mp4")
    [ "$frames" = "1" ] || fail "the video of frame $last has '$frames' frames"
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
yes "not a module" | head -c 3000 >"$WORK/badmusic/$MODULE"
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
rm "$WORK/badmusic/$MODULE"
expect 1 "File not found" -- "$RENDER" --data "$WORK/badmusic" --to 3 --video "$WORK/out/v.mp4"
expect 1 "File not found" -- "$RENDER" --data "$WORK/badmusic" --to 3 --rawvideo "$WORK/out/v.raw"
mkfifo "$WORK/badmusic/$MODULE"
expect 1 "Error loading file" -- timeout 20 "$RENDER" --data "$WORK/badmusic" --to 3 --video "$WORK/out/v.mp4"
only ""

# A damaged module (cut short, or overwritten) is refused when it is loaded,
# in the music layer's words, in every mode: never a silent sound track.
copy_data damaged
head -c 1000 "$DATA/$MODULE" >"$WORK/damaged/$MODULE"
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/damaged" --to 3 --video "$WORK/out/v.mp4"
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/damaged" --to 3 --hashes "$WORK/out/h.txt"
only ""
cp "$DATA/$MODULE" "$WORK/damaged/$MODULE"
head -c 4096 /dev/urandom | dd of="$WORK/damaged/$MODULE" bs=1 seek=2000 conv=notrunc 2>/dev/null
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/damaged" --to 3 --video "$WORK/out/v.mp4"
only ""
size=$(wc -c <"$DATA/$MODULE")
head -c $((size - 5000)) "$DATA/$MODULE" >"$WORK/damaged/$MODULE"
expect 1 "Unknown file format" -- "$RENDER" --data "$WORK/damaged" --to 3 --rawvideo -
[ -s "$WORK/stdout" ] && fail "frames on standard output with a module cut short"
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
[ "$(grep -c '^zep-render: ' "$WORK/err")" -eq 4 ] || fail "not every line names zep-render: $(cat "$WORK/err")"
grep -qF 'give that folder to zep-render with --data DIR' "$WORK/err" || fail "the hint does not say --data: $(cat "$WORK/err")"

# Swaps two paths in one step (renameat2's RENAME_EXCHANGE), so that a
# render never finds the data file missing in between.
exchange() {
    python3 - "$1" "$2" <<'EOF'
import ctypes, os, sys
libc = ctypes.CDLL(None, use_errno=True)
AT_FDCWD, RENAME_EXCHANGE = -100, 2
if libc.renameat2(AT_FDCWD, os.fsencode(sys.argv[1]), AT_FDCWD, os.fsencode(sys.argv[2]), RENAME_EXCHANGE):
    sys.exit("cannot exchange %s and %s: %s" % (sys.argv[1], sys.argv[2], os.strerror(ctypes.get_errno())))
EOF
}

# A data file replaced during the render (after the outputs were begun) is
# named as at start-up: never a wait on a named pipe, never "too short".
for kind in pipe folder; do
    copy_data swapped
    rm -rf "$WORK/replacement"
    if [ $kind = pipe ]; then mkfifo "$WORK/replacement"; else mkdir "$WORK/replacement"; fi
    "$RENDER" --data "$WORK/swapped" --fps 10 --hashes "$WORK/out/h.txt" >"$WORK/stdout" 2>"$WORK/err" &
    pid=$!
    n=0
    while [ -z "$(ls -A "$WORK/out")" ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n + 1)); done
    exchange "$WORK/replacement" "$WORK/swapped/tex33.raw" || fail "the data file could not be replaced"
    rm -f "$WORK/replacement"
    wait_for $pid 1200
    [ "$status" -eq 1 ] || fail "tex33.raw made a $kind during the render: status $status"
    case $kind in
        pipe) want='zep-render: data file "tex33.raw" is a named pipe, not a regular file' ;;
        folder) want='zep-render: data file "tex33.raw" is a folder, not a file' ;;
    esac
    [ "$(head -n 1 "$WORK/err")" = "$want" ] || fail "tex33.raw made a $kind during the render: $(cat "$WORK/err")"
    only ""
done
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
expect 2 "which the demo reads" -- "$RENDER" --data "$WORK/self" --to 1 --hashes "$WORK/self/$MODULE"
expect 2 "which the demo reads" -- "$RENDER" --data "$WORK/self" --to 1 --video "$WORK/self/../self/apic.raw"
[ "$(cksum <"$WORK/self/ttx2.raw")" = "$before" ] || fail "ttx2.raw was changed"
expect 2 "--rawvideo and --hashes name the same file" -- "$RENDER" --data "$DATA" --to 1 --rawvideo "$WORK/out/a" --hashes "$WORK/out/a"
only ""
# A file the PNG folder will hold is such an output too, by any spelling.
expect 2 "--hashes $WORK/out/s/frame_000001.png is frame 1 of --png $WORK/out/s" -- \
    "$RENDER" --data "$DATA" --to 2 --png "$WORK/out/s" --hashes "$WORK/out/s/frame_000001.png"
only ""
expect 2 "is frame 2 of --png" -- "$RENDER" --data "$DATA" --to 2 --png "$WORK/out/s/" --hashes "$WORK/out/s/frame_000002.png"
only ""
mkdir "$WORK/out/s"
expect 2 "is frame 2 of --png" -- "$RENDER" --data "$DATA" --to 2 --png "$WORK/out/s" --rawvideo "$WORK/out/s/../s/frame_000002.png"
only "s "
"$RENDER" --data "$DATA" --to 2 --png "$WORK/out/s" --hashes "$WORK/out/s/frame_000003.png" 2>"$WORK/err" ||
    fail "a frame the render does not write was refused: $(cat "$WORK/err")"
[ "$(cd "$WORK/out/s" && ls | tr '\n' ' ')" = "frame_000001.png frame_000002.png frame_000003.png " ] ||
    fail "the PNG folder holds $(ls "$WORK/out/s")"
only "s "

# An output that leads to standard output is standard output, whatever path
# names it; the file behind standard error is never replaced.
echo "earlier line" >"$WORK/log.txt"
"$RENDER" --data "$DATA" --to 2 --hashes /dev/stdout >"$WORK/out/a.txt" 2>>"$WORK/log.txt" || fail "--hashes /dev/stdout failed"
head -n 2 "$MANIFEST" | cmp -s - "$WORK/out/a.txt" || fail "--hashes /dev/stdout did not write standard output: $(cat "$WORK/out/a.txt")"
[ "$(cat "$WORK/log.txt")" = "earlier line" ] || fail "standard error's file was changed: $(cat "$WORK/log.txt")"
ln -s /dev/stdout "$WORK/out/link"
"$RENDER" --data "$DATA" --to 2 --rawvideo "$WORK/out/link" >"$WORK/out/b.raw" 2>>"$WORK/log.txt" || fail "--rawvideo through a link to /dev/stdout failed"
[ "$(wc -c <"$WORK/out/b.raw")" -eq $((2 * frame)) ] || fail "--rawvideo through a link to /dev/stdout is not two frames"
[ "$(cat "$WORK/log.txt")" = "earlier line" ] || fail "standard error's file was changed: $(cat "$WORK/log.txt")"
only "a.txt b.raw link "
"$RENDER" --data "$DATA" --to 2 --hashes "$WORK/log.txt" 2>>"$WORK/log.txt"
[ $? -eq 2 ] || fail "an output on standard error's file did not end with status 2"
[ "$(head -n 1 "$WORK/log.txt")" = "earlier line" ] || fail "standard error's file was replaced: $(cat "$WORK/log.txt")"
grep -qF "is the file standard error goes to" "$WORK/log.txt" || fail "no reason for refusing standard error's file: $(cat "$WORK/log.txt")"
expect 2 "--rawvideo and --hashes cannot both write to standard output" -- "$RENDER" --data "$DATA" --to 1 --rawvideo - --hashes /dev/stdout
expect 2 "an MP4 file cannot be written to standard output" -- "$RENDER" --data "$DATA" --to 1 --video /dev/stdout
only ""

# Runs that write nothing say so: a key press before the first frame to
# write is refused, no output at all is a run that only computes.
expect 2 "--key-after 0 ends the run before frame 1, the first to write: nothing would be written" -- \
    "$RENDER" --data "$DATA" --key-after 0 --hashes "$WORK/out/h.txt" --video "$WORK/out/v.mp4"
only ""
expect 0 "no output option (--png, --rawvideo, --video or --hashes)" -- "$RENDER" --data "$DATA" --to 2
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
# When ffmpeg cannot write the video, zep-render's own line gives the system's
# reason, not the pipe's.
(trap '' XFSZ; ulimit -f 200; exec "$RENDER" --data "$DATA" --to 300 --video "$WORK/out/cut.mp4") >"$WORK/stdout" 2>"$WORK/err"
[ $? -eq 2 ] || fail "a video over the file size limit did not end with status 2"
[ "$(tail -n 1 "$WORK/err")" = "zep-render: cannot write $WORK/out/cut.mp4: File too large" ] ||
    fail "no reason for the failed video: $(cat "$WORK/err")"
only ""
# A named pipe given as the video, whose reader goes: the render ends, with
# ffmpeg's failure, and does not wait on the pipe when it looks for a reason.
mkfifo "$WORK/out/p.mp4"
head -c 1000 "$WORK/out/p.mp4" >/dev/null &
expect 2 "cannot write $WORK/out/p.mp4: ffmpeg" -- timeout 60 "$RENDER" --data "$DATA" --to 300 --video "$WORK/out/p.mp4"
wait
only "p.mp4 "
# A full disk: a small tmpfs, where a mount namespace of our own allows one.
if unshare -rm sh -c "mount -t tmpfs -o size=3m tmpfs '$WORK/out'" 2>/dev/null; then
    unshare -rm sh -c "mount -t tmpfs -o size=3m tmpfs '$WORK/out' && '$RENDER' --data '$DATA' --to 300 --video '$WORK/out/v.mp4'; echo \"status \$?\"; ls -A '$WORK/out'" >"$WORK/stdout" 2>"$WORK/err"
    [ "$(cat "$WORK/stdout")" = "status 2" ] || fail "a video on a full disk: $(cat "$WORK/stdout")"
    [ "$(tail -n 1 "$WORK/err")" = "zep-render: cannot write $WORK/out/v.mp4: No space left on device" ] ||
        fail "no reason for the video on a full disk: $(cat "$WORK/err")"
else
    echo "note: no tmpfs can be mounted here; the video on a full disk is not checked"
fi

# Through a symbolic link the file it names is written, and the link stays.
ln -s real.raw "$WORK/out/link.raw"
"$RENDER" --data "$DATA" --to 1 --rawvideo "$WORK/out/link.raw" || fail "raw video through a link failed"
[ -L "$WORK/out/link.raw" ] || fail "the link to the output was replaced"
[ "$(wc -c <"$WORK/out/real.raw")" -eq "$frame" ] || fail "the file behind the link is not one frame"
only "link.raw real.raw "

# A PNG folder that cannot be written into is named (root writes anywhere:
# as root the check runs as nobody, where nobody can reach the folder).
mkdir "$WORK/out/locked" && chmod 555 "$WORK/out/locked"
if $as_user test -x "$WORK/out/locked" && ! $as_user test -w "$WORK/out/locked"; then
    expect 2 "cannot write into the folder $WORK/out/locked: Permission denied" -- \
        $as_user "$RENDER" --data "$DATA" --to 1 --png "$WORK/out/locked"
else
    echo "note: no user here is kept out of a folder; the unwritable PNG folder is not checked"
fi
rmdir "$WORK/out/locked"

# Two renders into one PNG folder never mix their frames: while one writes,
# a second is refused and writes nothing; once the first has ended, by
# itself or killed, the folder is free again.
png_width() { od -An -tu1 -j16 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }'; }
for end in finish kill; do
    "$RENDER" --data "$DATA" --to 120 --scale 2 --png "$WORK/out/pq" 2>"$WORK/err1" &
    pid=$!
    n=0
    while [ ! -e "$WORK/out/pq/frame_000001.png" ] && [ $n -lt 200 ]; do sleep 0.05; n=$((n + 1)); done
    expect 2 "another render is writing into the folder $WORK/out/pq; wait for it to end or choose another folder" -- \
        "$RENDER" --data "$DATA" --to 120 --png "$WORK/out/pq"
    if [ $end = kill ]; then
        kill -s KILL $pid
        wait $pid
        "$RENDER" --data "$DATA" --to 2 --png "$WORK/out/pq" 2>"$WORK/err" ||
            fail "a render into a folder whose render was killed failed: $(cat "$WORK/err")"
    else
        wait $pid || fail "the first render into the PNG folder failed: $(cat "$WORK/err1")"
        [ "$(ls "$WORK/out/pq" | wc -l)" -eq 120 ] || fail "the PNG folder holds $(ls "$WORK/out/pq" | wc -l) frames, not 120"
        for f in "$WORK/out/pq"/*.png; do
            [ "$(png_width "$f")" -eq 1280 ] || { fail "${f##*/} is $(png_width "$f") wide: the renders mixed"; break; }
        done
        [ -z "$(ls -A "$WORK/out/pq" | grep '^\.')" ] || fail "the PNG folder keeps $(ls -A "$WORK/out/pq" | grep '^\.')"
    fi
    rm -rf "$WORK/out/pq"
done
only ""

# The help text to a closed or full standard output is a failure.
"$RENDER" --help >&- 2>"$WORK/err" && fail "--help to a closed stdout ended with 0"
grep -qF "cannot write the help text" "$WORK/err" || fail "--help to a closed stdout: $(cat "$WORK/err")"
"$RENDER" --help >/dev/full 2>"$WORK/err" && fail "--help to a full stdout ended with 0"
grep -qF "No space left on device" "$WORK/err" || fail "--help to a full stdout: $(cat "$WORK/err")"

# Interrupted, also by a closed terminal (SIGHUP) or SIGQUIT: the unfinished
# outputs go, the one line says so, and the process ends by the signal (a
# background job of a script starts with SIGINT and SIGQUIT ignored: env
# restores them).
for named in INT:2 TERM:15 HUP:1 QUIT:3; do
    signal=${named%:*}
    env --default-signal=INT,QUIT "$RENDER" --data "$DATA" --video "$WORK/out/long.mp4" --rawvideo "$WORK/out/long.raw" \
        --hashes "$WORK/out/long.txt" 2>"$WORK/err" &
    pid=$!
    n=0
    while [ -z "$(ls -A "$WORK/out")" ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done
    sleep 1
    kill -s $signal $pid
    wait $pid
    status=$?
    [ "$status" -eq $((128 + ${named#*:})) ] || fail "SIG$signal: status $status"
    [ "$(cat "$WORK/err")" = "zep-render: interrupted; the unfinished output was removed" ] ||
        fail "SIG$signal: $(cat "$WORK/err")"
    only ""
done

finish_checks "zep-render fault"

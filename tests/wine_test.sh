#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The Windows programs under wine, as a Windows user would run them.
#
#   wine_test.sh prefix WINE_DIR
#       makes the wine prefix WINE_DIR/template that the other modes copy
#   wine_test.sh window WINE_DIR ZIP
#       unpacks the zip; zep.exe in its folder, in a window under Xvfb with a
#       silent sound device: a picture that is not black, a key ends it with
#       status 0; in an empty folder: one line per missing file, status 1,
#       shown in a message box when there is no console
#   wine_test.sh frames WINE_DIR ZIP ZEP_RENDER_EXE MANIFEST
#       zep-render.exe --hashes - on the zip's data: every frame of the whole
#       run at 60 fps equals the manifest, with --cpu auto and baseline; --hashes, --rawvideo and --png
#       into files and --rawvideo - agree; NUL is the null device; names
#       ending in a space or a dot are refused; a second render into a PNG
#       folder being written is refused; --video says it is not available
#
# Each mode runs its own copy of the prefix, so its wine server is its own,
# and stops that server (and only that one) when it ends.
set -u
MODE=$1
WINE_DIR=$2

export WINEDEBUG=-all
# No Mono or Gecko installer dialogs: zep needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

. "$(dirname "$0")/cli_checks.sh"

finish() {
    finish_checks "wine $MODE"
}

# A fresh copy of the template prefix named $1, used from here on.
use_prefix() {
    rm -rf "${WINE_DIR:?}/$1"
    # Linked, not copied: wine replaces the files it changes, never writes into them.
    cp -al "$WINE_DIR/template" "$WINE_DIR/$1" || exit 1
    export WINEPREFIX="$WINE_DIR/$1"
    trap 'wineserver -k 2>/dev/null; wineserver -w 2>/dev/null' EXIT
}

unpack() {  # zip, folder
    rm -rf "$2" && mkdir -p "$2" && (cd "$2" && cmake -E tar xf "$1") || exit 1
}

# window_of PID TRIES TITLE: the first window whose name matches TITLE, looked
# for every tenth of a second while PID runs, TRIES times at most; empty if
# none appeared.
window_of() {
    found=""
    tries=0
    while [ -z "$found" ] && [ "$tries" -lt "$2" ] && kill -0 "$1" 2>/dev/null; do
        sleep 0.1
        found=$(xdotool search --name "$3" 2>/dev/null | head -n 1)
        tries=$((tries + 1))
    done
    echo "$found"
}


case $MODE in
prefix)
    rm -rf "$WINE_DIR/template" && mkdir -p "$WINE_DIR"
    export WINEPREFIX="$WINE_DIR/template"
    trap 'wineserver -k 2>/dev/null' EXIT
    wine wineboot --init >"$WINE_DIR/wineboot.log" 2>&1 || {
        cat "$WINE_DIR/wineboot.log"
        exit 1
    }
    # The template is copied only once its server has written everything.
    wineserver -w
    trap - EXIT
    ;;

window)
    ZIP=$3
    WORK=$WINE_DIR/window-test
    if [ -z "${ZEP_WINE_WINDOW_INNER:-}" ]; then
        rm -rf "$WORK" && mkdir -p "$WORK/home"
        # Sound goes to ALSA's null device: the real audio path, silent.
        printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$WORK/home/.asoundrc"
        export ZEP_WINE_WINDOW_INNER=1 HOME="$WORK/home"
        exec xvfb-run -a -s "-screen 0 800x600x24" sh "$0" "$@"
    fi
    use_prefix window
    unpack "$ZIP" "$WORK/unpacked"
    ZEP_EXE=$WORK/unpacked/zep/zep.exe
    [ -f "$ZEP_EXE" ] || { echo "FAIL: the zip holds no zep/zep.exe"; exit 1; }

    # 1. In the unpacked folder: the demo plays in a window; a key ends it.
    (cd "$WORK/unpacked/zep" && exec wine zep.exe) >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    window=$(window_of $pid 600 "^ZEP\. $")
    [ -n "$window" ] || fail "no window titled 'ZEP. ' appeared: $(cat "$WORK/out" "$WORK/err")"
    # Wine's first frames may take a while: up to 20 tries a second apart.
    lit=0
    [ -n "$window" ] && wait_lit 20 1
    [ "$lit" -gt 100000 ] || fail "the window looks blank ($lit lit pixels)"
    xdotool windowfocus --sync "$window" 2>/dev/null
    n=0
    while [ -n "$window" ] && [ "$n" -lt 60 ] && kill -0 $pid 2>/dev/null; do
        xdotool key --window "$window" space 2>/dev/null
        xdotool key space 2>/dev/null
        sleep 0.5
        n=$((n + 1))
    done
    wait_for $pid 300
    [ "$status" -eq 0 ] || fail "zep.exe ended with status $status after a key: $(cat "$WORK/out" "$WORK/err")"

    # 2. In an empty folder: each missing file named with its size, status 1.
    mkdir -p "$WORK/empty"
    (cd "$WORK/empty" && exec wine "$ZEP_EXE") >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    wait_for $pid 300
    [ "$status" -eq 1 ] || fail "in an empty folder zep.exe ended with status $status"
    tr -d '\r' <"$WORK/err" >"$WORK/err.txt"
    for line in 'data file "ttx2.raw" is missing (it needs 262144 bytes)' \
        'data file "Coords.ddd" is missing (it needs 14400 bytes)' \
        'data file "apic.raw" is missing (it needs 921600 bytes)' 'unpack the download again'; do
        grep -qF "$line" "$WORK/err.txt" || fail "no line '$line' in: $(cat "$WORK/err.txt")"
    done
    missing=$(grep -c 'is missing' "$WORK/err.txt")
    [ "$missing" -eq 17 ] || fail "$missing missing-file lines, expected 17"

    # 3. As after a double-click, with no console and no standard streams
    # (what start.exe gives a GUI program): the messages in a message box.
    cp "$ZEP_EXE" "$WORK/empty/"
    (cd "$WORK/empty" && exec wine start /wait /unix "$WORK/empty/zep.exe") >"$WORK/out" 2>&1 &
    pid=$!
    box=$(window_of $pid 300 "^ZEP\.$")
    [ -n "$box" ] || fail "no message box titled 'ZEP.' appeared without a console"
    # Return presses OK; pressed again until the box has taken it.
    n=0
    while [ -n "$box" ] && [ "$n" -lt 30 ] && kill -0 $pid 2>/dev/null; do
        sleep 0.5
        xdotool key --window "$box" Return 2>/dev/null
        xdotool key Return 2>/dev/null
        n=$((n + 1))
    done
    wait_for $pid 300
    [ "$status" -eq 1 ] || fail "without a console, in an empty folder, zep.exe ended with status $status"
    finish
    ;;

frames)
    ZIP=$3
    RENDER=$4
    MANIFEST=$5
    WORK=$WINE_DIR/frames-test
    use_prefix frames
    unpack "$ZIP" "$WORK"
    # The whole run on the copy of the scenes zep picks here, and on the
    # baseline copy every x86-64 CPU runs.
    for cpu in auto baseline; do
        (cd "$WORK/zep" && wine "$RENDER" --cpu $cpu --hashes -) >"$WORK/hashes.txt" 2>"$WORK/err"
        status=$?
        [ "$status" -eq 0 ] || fail "zep-render.exe --cpu $cpu ended with status $status: $(cat "$WORK/err")"
        if ! cmp -s "$WORK/hashes.txt" "$MANIFEST"; then
            fail "--cpu $cpu: frames differ from $(basename "$MANIFEST") ($(wc -l <"$WORK/hashes.txt") lines written):"
            diff "$MANIFEST" "$WORK/hashes.txt" | head -n 20
        fi
    done

    # The other outputs, for three frames: files, and raw frames on standard
    # output byte for byte as in the file.
    out=$WORK/out
    mkdir -p "$out"
    (cd "$WORK/zep" && wine "$RENDER" --from 100 --to 102 --hashes "$out/h.txt" \
        --rawvideo "$out/v.raw" --png "$out/png") 2>"$WORK/err" ||
        fail "zep-render.exe with file outputs failed: $(cat "$WORK/err")"
    sed -n '100,102p' "$MANIFEST" | cmp -s - "$out/h.txt" || fail "--hashes FILE differs from the manifest"
    # A finished file is replaced whole.
    (cd "$WORK/zep" && wine "$RENDER" --from 101 --to 102 --hashes "$out/h.txt") 2>"$WORK/err" ||
        fail "zep-render.exe could not replace its hashes file: $(cat "$WORK/err")"
    sed -n '101,102p' "$MANIFEST" | cmp -s - "$out/h.txt" || fail "the replaced hashes file differs"
    [ "$(wc -c <"$out/v.raw")" -eq $((3 * 640 * 480 * 4)) ] || fail "--rawvideo wrote $(wc -c <"$out/v.raw") bytes"
    (cd "$WORK/zep" && wine "$RENDER" --from 100 --to 102 --rawvideo -) >"$out/stdout.raw" 2>"$WORK/err"
    cmp -s "$out/v.raw" "$out/stdout.raw" || fail "--rawvideo - differs from --rawvideo FILE"
    [ "$(ls "$out/png")" = "$(printf 'frame_000100.png\nframe_000101.png\nframe_000102.png')" ] ||
        fail "--png wrote: $(ls "$out/png")"
    [ "$(od -An -tx1 -N4 "$out/png/frame_000101.png" | tr -d ' ')" = "89504e47" ] || fail "frame_000101.png is not a PNG"
    leftover=$(ls -A "$out" | grep '^\.')
    [ -z "$leftover" ] || fail "temporary files left: $leftover"

    # NUL is Windows' null device, in any case and any folder: written to,
    # and no file is made for it.
    (cd "$WORK/zep" && wine "$RENDER" --to 2 --hashes NUL --rawvideo "$out/nul.raw") 2>"$WORK/err" ||
        fail "--hashes NUL --rawvideo out/nul.raw failed: $(cat "$WORK/err")"
    leftover=$(ls -A "$WORK/zep" "$out" | grep -i 'nul')
    [ -z "$leftover" ] || fail "a file was made for NUL: $leftover"

    # A name ending in a space or a dot, which Windows would drop, is
    # refused before anything is made.
    for name in "dir " "dir." "sub /frames"; do
        (cd "$out" && wine "$RENDER" --data "$WORK/zep" --to 1 --png "$name") >"$WORK/stdout" 2>"$WORK/err"
        status=$?
        [ "$status" -eq 2 ] || fail "--png '$name' ended with status $status"
        grep -qF "ends in a space or a dot, which Windows drops from names" "$WORK/err" ||
            fail "--png '$name' said: $(cat "$WORK/err")"
    done
    (cd "$out" && wine "$RENDER" --data "$WORK/zep" --to 1 --hashes "h.txt.") 2>"$WORK/err"
    [ $? -eq 2 ] || fail "--hashes 'h.txt.' was not refused: $(cat "$WORK/err")"
    [ -e "$out/dir" ] || [ -e "$out/sub" ] || [ -e "$out/h.txt." ] && fail "a refused name left $(ls "$out")"

    # Two renders into one PNG folder: the second is refused while the first
    # writes, and the first leaves its set whole and no lock file.
    (cd "$WORK/zep" && exec wine "$RENDER" --to 200 --scale 2 --png "$out/pq") 2>"$WORK/err1" &
    pid=$!
    n=0
    while [ ! -e "$out/pq/frame_000001.png" ] && [ $n -lt 600 ]; do sleep 0.1; n=$((n + 1)); done
    (cd "$WORK/zep" && wine "$RENDER" --to 200 --png "$out/pq") 2>"$WORK/err"
    status=$?
    [ "$status" -eq 2 ] || fail "a second render into a PNG folder being written ended with status $status"
    grep -qF "another render is writing into the folder" "$WORK/err" || fail "the second render said: $(cat "$WORK/err")"
    wait $pid || fail "the first render into the PNG folder failed: $(cat "$WORK/err1")"
    [ "$(ls "$out/pq" | wc -l)" -eq 200 ] || fail "the PNG folder holds $(ls "$out/pq" | wc -l) frames, not 200"
    [ -z "$(ls -A "$out/pq" | grep '^\.')" ] || fail "the PNG folder keeps $(ls -A "$out/pq" | grep '^\.')"

    # --video is not available on Windows, and says so.
    (cd "$WORK/zep" && wine "$RENDER" --to 2 --video "$out/v.mp4") 2>"$WORK/err"
    status=$?
    [ "$status" -eq 2 ] || fail "--video ended with status $status"
    grep -q 'not available on Windows' "$WORK/err" || fail "--video said: $(cat "$WORK/err")"
    [ -e "$out/v.mp4" ] && fail "--video left $out/v.mp4"
    finish
    ;;

*)
    echo "wine_test.sh: unknown mode '$MODE'" >&2
    exit 2
    ;;
esac

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep on bare X, as on exhibition machines with no window manager, and with
# openbox: on a 1280x960 screen the window shows the picture one to one, and
# a double-click and --fullscreen each cover the screen with the whole
# picture, each pixel a sharp 2x2 block, centred: the screenshot must equal
# zep-render's picture of the same frame, enlarged. The demo starts in the
# closing picture, which stands still, so the frame shown is known.
# Usage: kiosk_test.sh ZEP ZEP_RENDER DATA_DIR WORK_DIR
set -u
. "$(dirname "$0")/cli_checks.sh"
. "$(dirname "$0")/desktop_env.sh"
need Xvfb openbox xdotool xprop xdpyinfo xwininfo ffmpeg
need_numpy
screen_test_args "$@"

# wait_picture WHAT SCALE [X Y]: screenshots until the screen shows the
# reference at SCALE at (X, Y), or where the window shown is, for up to 5 s;
# then fails with the check's findings. SDL may replace the first window it
# makes, so a window that is gone is looked up again, in $window.
wait_picture() {
    tries=0
    while :; do
        xwininfo -id "$window" >"$WORK/xwininfo" 2>/dev/null || { find_window 10 --onlyvisible; xwininfo -id "$window" >"$WORK/xwininfo" 2>/dev/null; }
        if [ $# -eq 4 ]; then
            x=$3 y=$4
        else
            x=$(awk '/Absolute upper-left X/ { print $NF }' "$WORK/xwininfo")
            y=$(awk '/Absolute upper-left Y/ { print $NF }' "$WORK/xwininfo")
        fi
        x_shot "$WORK/shot.ppm" || fail "$1: screenshot failed"
        "$PYTHON" "$CHECKS" picture "$WORK/shot.ppm" "$WORK/reference.bgr0" "$2" "${x:-0}" "${y:-0}" \
            >"$WORK/picture.txt" 2>&1 && return 0
        [ "$tries" -ge 25 ] && break
        sleep 0.2
        tries=$((tries + 1))
    done
    cp "$WORK/shot.ppm" "$WORK/$(echo "$1" | tr ' ' '-').ppm"
    fail "$1: $(cat "$WORK/picture.txt")"
}

# start_zep OPTION...: zep on the still closing picture, its window in $window.
start_zep() {
    (cd "$DATA" && exec "$ZEP" --start $START "$@") >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    find_window 100 --onlyvisible
}

# end_zep WHAT: a key ends zep with status 0.
end_zep() {
    if [ -n "$window" ]; then
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key --window "$window" space
        xdotool key space
    fi
    wait_for $pid 100
    [ "$status" -eq 0 ] || fail "$1: zep ended with status $status after a key: $(cat "$WORK/err")"
}

for wm in none openbox; do
    start_xvfb 1280x960 $wm || continue
    export SDL_AUDIODRIVER=dummy

    # The window, then a double-click: the whole screen.
    start_zep
    if [ -z "$window" ]; then
        fail "$wm: no window titled 'ZEP. ' is shown: $(cat "$WORK/err")"
    else
        wait_picture "$wm window" 1
        size=$(awk '/-geometry/ { sub(/[+-].*/, "", $2); print $2 }' "$WORK/xwininfo")
        [ "$size" = 640x480 ] || fail "$wm: the window is $size, not 640x480"
        xdotool mousemove --window "$window" 320 240 click --repeat 2 --delay 80 1
        wait_picture "$wm double-click" 2 0 0
        size=$(awk '/-geometry/ { sub(/[+-].*/, "", $2); print $2 }' "$WORK/xwininfo")
        [ "$size" = 1280x960 ] || fail "$wm: after a double-click the window is $size, not 1280x960"
    fi
    end_zep "$wm double-click"

    # Started in fullscreen.
    start_zep --fullscreen
    if [ -z "$window" ]; then
        fail "$wm --fullscreen: no window titled 'ZEP. ' is shown: $(cat "$WORK/err")"
    else
        wait_picture "$wm --fullscreen" 2 0 0
    fi
    end_zep "$wm --fullscreen"
    stop $X_PIDS
done

finish_checks kiosk

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The CPU zep and the X server take while the demo plays, under Xvfb (where
# OpenGL runs on the CPU) with openbox, in the 640x480 window and fullscreen,
# on screens of 1920x1080 and 3840x2160: per cent of one core over SECONDS
# (default 20) of the run from 3 s on, from /proc/PID/stat.
# Usage: desktop-cpu.sh ZEP DATA_DIR [SECONDS]
set -u
ZEP=$1
DATA=$2
SECONDS_MEASURED=${3:-20}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
TICKS=$(getconf CLK_TCK)

# cpu_ticks PID: the user and system time of the process so far, in ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0
}

number=$(( $$ % 300 + 500 ))
for size in 1920x1080 3840x2160; do
    for mode in window fullscreen; do
        Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        xserver=$!
        sleep 1
        DISPLAY=":$number" openbox >/dev/null 2>&1 &
        wm=$!
        sleep 1
        option=""
        [ "$mode" = fullscreen ] && option=--fullscreen
        (cd "$DATA" && DISPLAY=":$number" SDL_AUDIODRIVER=dummy exec "$ZEP" $option) >/dev/null 2>&1 &
        zep=$!
        sleep 3
        if [ "$mode" = fullscreen ]; then
            # A zep without --fullscreen takes it from a double-click.
            window=$(DISPLAY=":$number" xdotool search --onlyvisible --name '^ZEP\. $' | head -n 1)
            got=$(DISPLAY=":$number" xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
            if [ "$got" != "$size" ]; then
                DISPLAY=":$number" xdotool mousemove --window "$window" 100 100 click --repeat 2 --delay 80 1
                sleep 1
            fi
        fi
        window=$(DISPLAY=":$number" xdotool search --onlyvisible --name '^ZEP\. $' | head -n 1)
        shown=$(DISPLAY=":$number" xwininfo -id "$window" 2>/dev/null | awk '/-geometry/ { sub(/[+-].*/, "", $2); print $2 }')
        zep0=$(cpu_ticks $zep) x0=$(cpu_ticks $xserver)
        sleep "$SECONDS_MEASURED"
        zep1=$(cpu_ticks $zep) x1=$(cpu_ticks $xserver)
        kill $zep $wm $xserver 2>/dev/null
        wait $zep $wm $xserver 2>/dev/null
        awk -v z=$((zep1 - zep0)) -v x=$((x1 - x0)) -v t="$TICKS" -v s="$SECONDS_MEASURED" \
            -v what="$size $mode" -v shown="$shown" \
            'BEGIN { printf "%-22s zep %5.1f %%  X server %5.1f %%  (window %s)\n", what, 100 * z / t / s, 100 * x / t / s, shown }'
    done
done

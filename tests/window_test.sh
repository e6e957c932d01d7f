#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep in a real window under Xvfb and a window manager (openbox), with SDL's
# dummy audio driver: it shows the first scene with its icon set, a
# double-click makes it cover the screen and another restores it, it quits on
# a key with status 0, reports a missing module and missing data files.
# Usage: window_test.sh ZEP DATA_DIR WORK_DIR MODULE (the module's file name)
set -u
ZEP=$1 DATA=$2 WORK=$3 MODULE=$4
. "$(dirname "$0")/cli_checks.sh"
again_on_a_bare_x_server "$0" "$@"

# Fullscreen is the window manager's business, as on a desktop.
start_openbox "$WORK/openbox.log"
trap 'kill $openbox_pid 2>/dev/null' EXIT

# The window's size as "WIDTHxHEIGHT", waiting up to 5 s for it to become $2.
window_size() {
    n=0
    while :; do
        size=$(xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Geometry/ { print $2 }')
        [ "$size" = "$2" ] || [ "$n" -ge 50 ] && break
        sleep 0.1
        n=$((n + 1))
    done
    echo "$size"
}

# 1. The demo starts, shows a picture, and ends on a key press.
mkdir -p "$WORK/run" && cp "$DATA"/* "$WORK/run/"
(cd "$WORK/run" && exec "$ZEP") >"$WORK/out" 2>"$WORK/err" &
pid=$!
find_window 100
[ -n "$window" ] || fail "no window titled 'ZEP. ' appeared"
# SDL may replace its first window when it sets up drawing, and a machine
# under load (a first run, a busy CI) may take a while to map it: look for
# the shown window for up to 10 s, then for a lit picture for up to 5 s.
find_window 100 --onlyvisible
[ -n "$window" ] || fail "the window titled 'ZEP. ' is not shown after 10 s"
wait_lit 10 0.5
[ "$lit" -gt 100000 ] || fail "the window looks blank ($lit lit pixels)"
kill -0 $pid 2>/dev/null || fail "zep ended while showing its first scene: $(cat "$WORK/err")"
# The icon: 64 x 64 pixels in _NET_WM_ICON (xprop draws it as text), waiting
# up to 5 s for the property to be read.
n=0
while :; do
    icon=$(xprop -id "$window" _NET_WM_ICON 2>&1 | head -n 2)
    case $icon in *"Icon (64 x 64)"*) break ;; esac
    [ "$n" -ge 50 ] && break
    sleep 0.1
    n=$((n + 1))
done
case $icon in
    *"Icon (64 x 64)"*) ;;
    *) fail "the window has no 64 x 64 icon: $icon" ;;
esac
# A double-click covers the screen; another one restores the window.
got=$(window_size "$window" 640x480)
[ "$got" = 640x480 ] || fail "the window is $got, not 640x480"
xdotool mousemove --window "$window" 320 240 click --repeat 2 --delay 80 1
got=$(window_size "$window" 800x600)
[ "$got" = 800x600 ] || fail "after a double-click the window is $got, not the screen's 800x600"
sleep 0.5
xdotool mousemove --window "$window" 300 200 click --repeat 2 --delay 80 1
got=$(window_size "$window" 640x480)
[ "$got" = 640x480 ] || fail "after a second double-click the window is $got, not 640x480"
kill -0 $pid 2>/dev/null || fail "zep ended on a double-click"
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --window "$window" space
xdotool key space
wait_for $pid 100
[ "$status" -eq 0 ] || fail "zep ended with status $status after a key: $(cat "$WORK/err")"

# 2. Without the music module: the library's text on standard output, status 1.
mkdir -p "$WORK/nomusic" && cp "$DATA"/* "$WORK/nomusic/" && rm "$WORK/nomusic/$MODULE"
(cd "$WORK/nomusic" && exec "$ZEP") >"$WORK/out" 2>"$WORK/err" &
pid=$!
wait_for $pid 100
[ "$status" -eq 1 ] || fail "without $MODULE zep ended with status $status"
[ "$(cat "$WORK/out")" = "File not found" ] || fail "without $MODULE zep printed '$(cat "$WORK/out")'"
# A module cut short is refused when it is loaded, never played as silence.
mkdir -p "$WORK/damaged" && cp "$DATA"/* "$WORK/damaged/"
head -c 1000 "$DATA/$MODULE" >"$WORK/damaged/$MODULE"
(cd "$WORK/damaged" && exec "$ZEP") >"$WORK/out" 2>"$WORK/err" &
pid=$!
wait_for $pid 100
[ "$status" -eq 1 ] || fail "with $MODULE cut short zep ended with status $status"
[ "$(cat "$WORK/out")" = "Unknown file format" ] || fail "with $MODULE cut short zep printed '$(cat "$WORK/out")'"

# 3. Without a data file: a message naming it, status 1, no window.
mkdir -p "$WORK/nodata" && cp "$DATA"/* "$WORK/nodata/" && rm "$WORK/nodata/ttx3.raw"
(cd "$WORK/nodata" && exec "$ZEP") >"$WORK/out" 2>"$WORK/err"
status=$?
[ "$status" -eq 1 ] || fail "without ttx3.raw zep ended with status $status"
grep -qF 'data file "ttx3.raw" is missing (it needs 262144 bytes)' "$WORK/err" || fail "no message for ttx3.raw: $(cat "$WORK/err")"
grep -qF 'zep-data DIR' "$WORK/err" || fail "no hint for the default data"

# 4. No display: SDL's invisible drivers are refused unless asked for by name.
for display in unset :999; do
    if [ "$display" = unset ]; then
        (cd "$WORK/run" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$ZEP") >"$WORK/out" 2>"$WORK/err" &
    else
        (cd "$WORK/run" && exec env -u WAYLAND_DISPLAY DISPLAY=$display "$ZEP") >"$WORK/out" 2>"$WORK/err" &
    fi
    pid=$!
    wait_for $pid 100
    [ "$status" -eq 1 ] || fail "DISPLAY $display: zep ended with status $status"
    grep -qF "cannot open the window" "$WORK/err" || fail "DISPLAY $display: no message: $(cat "$WORK/err")"
done
# Asked for by name, the off-screen driver runs; SIGTERM ends it as SIGTERM
# does (status 143 in a shell), so a script can tell it from a normal end.
(cd "$WORK/run" && exec env SDL_VIDEODRIVER=offscreen "$ZEP") >"$WORK/out" 2>"$WORK/err" &
pid=$!
sleep 2
kill -0 $pid 2>/dev/null || fail "with SDL_VIDEODRIVER=offscreen zep did not run: $(cat "$WORK/err")"
kill -TERM $pid
wait_for $pid 100
[ "$status" -eq 143 ] || fail "SIGTERM ended zep with status $status, not by the signal (143)"

# 5. Standard output closed and no module: the message cannot reach the
# display connection, and zep ends at once with status 1.
(cd "$WORK/nomusic" && exec "$ZEP") >&- 2>"$WORK/err" &
pid=$!
wait_for $pid 100
[ "$status" -eq 1 ] || fail "closed stdout without $MODULE: status $status"

finish_checks window

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep as a supervisor, a kiosk script or an unlucky viewer meets it, on a
# bare X server with SDL's dummy audio driver:
#   - SIGINT, SIGTERM and SIGHUP end it as that signal, not with status 0;
#   - its window destroyed under it, or the X server going away: its own
#     line and status 1, not Xlib's;
#   - under a tight address-space limit it still plays (the window's own
#     pixels), and below what it can run in it says "out of memory";
#   - a failure's message box only where standard error reaches nobody, and
#     a signal still ends zep with the box open, leaving no process behind;
#   - --loop plays again from the start in the same window, until a key;
#   - its command line: --help, --version, unknown options.
# Usage: player_faults_test.sh ZEP DATA_DIR WORK_DIR
set -u
ZEP=$1 DATA=$2 WORK=$3
. "$(dirname "$0")/cli_checks.sh"
again_on_a_bare_x_server "$0" "$@"
cd "$DATA" || exit 1

# start_zep ARGS...: zep in the background with SIGINT at its default (a
# shell's background jobs ignore it), its pid in $pid, waiting for its window.
start_zep() {
    env --default-signal=INT "$ZEP" "$@" >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    find_window 100 --onlyvisible
    [ -n "$window" ] || fail "zep $*: no window: $(cat "$WORK/err")"
}

# 1. Signals end zep as the signal would (128 + its number in a shell).
for signal in INT:130 TERM:143 HUP:129; do
    start_zep --start 105
    sleep 0.5
    kill -"${signal%:*}" "$pid"
    wait_for "$pid" 50
    [ "$status" -eq "${signal#*:}" ] || fail "SIG${signal%:*} ended zep with status $status, not ${signal#*:}"
done

# 2. The window destroyed under zep: its line, status 1, and no Xlib lines.
# (Just past the chrome object's start, so that little is replayed before
# zep draws into the window again, even under the sanitizers.)
ZEP_FRAME_LOG="$WORK/lost.log" start_zep --start 61
# Once pictures are shown, the window is the one that shows them (SDL may
# replace the first it made while it sets up drawing).
n=0
until [ "$(wc -l <"$WORK/lost.log" 2>/dev/null || echo 0)" -ge 3 ] || [ "$n" -ge 300 ]; do
    sleep 0.1
    n=$((n + 1))
done
find_window 50 --onlyvisible
xdotool windowclose "$window"
wait_for "$pid" 300
[ "$status" -eq 1 ] || fail "with its window destroyed zep ended with status $status"
grep -q '^zep: the window was lost' "$WORK/err" || fail "no line for the lost window: $(cat "$WORK/err")"
grep -q 'X Error of failed request' "$WORK/err" && fail "Xlib's own lines: $(cat "$WORK/err")"

# 3. The X server goes away: zep's line, status 1.
Xvfb -displayfd 1 -screen 0 640x480x24 -nolisten tcp >"$WORK/display" 2>/dev/null &
server=$!
n=0
until [ -s "$WORK/display" ] || [ "$n" -ge 50 ]; do sleep 0.1; n=$((n + 1)); done
(DISPLAY=:$(cat "$WORK/display") exec "$ZEP") >"$WORK/out" 2>"$WORK/err" &
pid=$!
sleep 2
kill "$server"
wait_for "$pid" 50
[ "$status" -eq 1 ] || fail "with the X server gone zep ended with status $status: $(cat "$WORK/err")"
grep -q '^zep: lost the connection to the display' "$WORK/err" || fail "no line for the lost display: $(cat "$WORK/err")"
grep -q 'X connection to' "$WORK/err" && fail "Xlib's own line: $(cat "$WORK/err")"

# 4. Tight memory: it plays in the window's own pixels (OpenGL on the CPU
# needs more address space than that), and below what zep can run in at all,
# it says so.
# (The sanitizers' shadow memory alone needs more address space than this.)
[ -n "${ZEP_SANITIZED:-}" ] && limits="" || limits="60000000 250000000"
for limit in $limits; do
    env --default-signal=INT prlimit --as=$limit "$ZEP" --verbose --start 107 >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    find_window 100 --onlyvisible
    if [ -z "$window" ]; then
        wait_for "$pid" 1
        fail "limit $limit: no window (status $status): $(cat "$WORK/err")"
        continue
    fi
    wait_for "$pid" 300
    [ "$status" -eq 0 ] || fail "limit $limit: zep ended with status $status: $(cat "$WORK/err")"
    grep -q "^zep: renderer: software (the window's own pixels" "$WORK/err" ||
        fail "limit $limit: not the window's own pixels: $(cat "$WORK/err")"
done
if [ -z "${ZEP_SANITIZED:-}" ]; then
    prlimit --as=30000000 "$ZEP" >"$WORK/out" 2>"$WORK/err"
    status=$?
    [ "$status" -eq 2 ] || fail "limit 30 MB: zep ended with status $status"
    grep -q '^zep: .*out of memory' "$WORK/err" || fail "limit 30 MB: no out-of-memory line: $(cat "$WORK/err")"
fi

# 5. A failure after the window system started: with standard error in a
# file the line there is all; with it going nowhere a box shows it, and a
# signal ends zep, box and all.
"$ZEP" --display 7 >"$WORK/out" 2>"$WORK/err"
status=$?
[ "$status" -eq 1 ] || fail "--display 7: status $status"
grep -q '^zep: there is no monitor 7' "$WORK/err" || fail "--display 7: $(cat "$WORK/err")"
env --default-signal=INT "$ZEP" --display 7 >/dev/null 2>/dev/null &
pid=$!
n=0
box_shown() { xwininfo -root -tree 2>/dev/null | grep -q '"ZEP\."'; }
until box_shown || [ "$n" -ge 100 ]; do sleep 0.1; n=$((n + 1)); done
[ "$n" -lt 100 ] || fail "no message box with standard error going nowhere"
kill -TERM "$pid"
wait_for "$pid" 50
[ "$status" -eq 143 ] || fail "SIGTERM with the box open: status $status"
sleep 0.5
box_shown && fail "the message box outlived zep"

# 6. --loop: after the end the demo plays again from the start, in the same
# window, until a key.
ZEP_FRAME_LOG="$WORK/frames" env --default-signal=INT "$ZEP" --loop --start 107 >"$WORK/out" 2>"$WORK/err" &
pid=$!
find_window 200 --onlyvisible
first=$window
n=0
until awk 'NR > 2 && $2 < 1 { found = 1 } END { exit !found }' "$WORK/frames" 2>/dev/null || [ "$n" -ge 900 ]; do
    sleep 0.1
    n=$((n + 1))
done
[ "$n" -lt 900 ] || fail "--loop: no frame from the start after the end"
awk 'NR == 2 && $2 < 107 { exit 1 }' "$WORK/frames" || fail "--loop --start 107: the first frame is not at 107 s"
find_window 10 --onlyvisible
[ "$window" = "$first" ] || fail "--loop: the window changed ($first, then $window)"
xdotool key --window "$window" space
wait_for "$pid" 50
[ "$status" -eq 0 ] || fail "--loop: a key ended zep with status $status: $(cat "$WORK/err")"

# 7. The command line.
"$ZEP" --help >"$WORK/stdout" 2>"$WORK/err" || fail "--help: status $?"
grep -q '^usage: zep ' "$WORK/stdout" || fail "--help printed no usage"
"$ZEP" --version >"$WORK/stdout" 2>"$WORK/err" || fail "--version: status $?"
grep -q '^zep [0-9]' "$WORK/stdout" || fail "--version printed '$(cat "$WORK/stdout")'"
expect 2 "zep: unknown option '--verison'" -- "$ZEP" --verison
grep -q 'usage: zep ' "$WORK/err" || fail "an unknown option printed no usage"
expect 2 "zep: --start:" -- "$ZEP" --start 200
expect 2 "cannot write the help text" -- sh -c "exec '$ZEP' --help >/dev/full"

finish_checks player_faults

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# scripts/lane.sh, which runs make test's side lanes: the command's status
# and output as each mode gives them; the lane in a process group of its
# own but in make's session (a session of its own would be a scheduling
# group of its own); and INT, TERM and HUP to lane.sh end every process of
# the lane, the background ones too, and lane.sh itself as that signal.
# Usage: lane_test.sh WORK_DIR
set -u
WORK=$1
HERE=$(cd "$(dirname "$0")" && pwd)
LANE=$HERE/../scripts/lane.sh
. "$HERE/cli_checks.sh"
rm -rf "$WORK" && mkdir -p "$WORK"

sh "$LANE" quiet ok "$WORK/ok.log" sh -c 'echo made' >"$WORK/out" 2>&1
[ $? -eq 0 ] || fail "a lane that succeeds did not end with 0"
[ "$(cat "$WORK/out")" = "zep: ok done (log: $WORK/ok.log)" ] || fail "quiet success printed '$(cat "$WORK/out")'"
[ "$(cat "$WORK/ok.log")" = made ] || fail "the log holds '$(cat "$WORK/ok.log")'"

sh "$LANE" quiet bad "$WORK/bad.log" sh -c 'echo why; exit 3' >"$WORK/out" 2>&1
[ $? -eq 3 ] || fail "a lane that fails with 3 did not end with 3"
grep -qx why "$WORK/out" && grep -qx "zep: bad failed (log: $WORK/bad.log)" "$WORK/out" ||
    fail "quiet failure printed '$(cat "$WORK/out")'"

sh "$LANE" whole all "$WORK/all.log" sh -c 'echo one; echo two >&2; exit 4' >"$WORK/out" 2>&1
[ $? -eq 4 ] || fail "a whole lane that fails with 4 did not end with 4"
[ "$(head -n 2 "$WORK/out" | tr '\n' ' ')" = "one two " ] || fail "whole printed '$(cat "$WORK/out")'"

sh "$LANE" quiet missing "$WORK/missing.log" "$WORK/no-such-program" >"$WORK/out" 2>&1 &&
    fail "a lane whose command does not exist ended with 0"

# The lane's group and session, as the lane's own command sees them.
sh "$LANE" quiet ids "$WORK/ids.log" sh -c 'ps -o pgid= -o sid= -p $$' >/dev/null 2>&1
read -r lane_group lane_session <"$WORK/ids.log"
mine=$(ps -o pgid= -o sid= -p $$)
set -- $mine
[ "$lane_session" = "$2" ] || fail "the lane has a session of its own ($lane_session, not $2)"
[ "$lane_group" != "$1" ] || fail "the lane shares the group of the shell that started it"

# A signal to lane.sh ends the whole lane: a command that has a child in the
# background and one in the foreground, neither of which knows of lane.sh.
# (Sleeps of lengths no other process has, to be found by.)
for signal in INT TERM HUP; do
    marker="sleep 9$$[12]"
    # Started in the background here, where INT would be ignored; make
    # starts lane.sh in the foreground, where it is not.
    perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' sh "$LANE" quiet sleeper "$WORK/sleeper.log" \
        sh -c "sleep 9${$}1 & sleep 9${$}2; echo ended" >"$WORK/out" 2>&1 &
    lane=$!
    n=0
    while [ "$(pgrep -f "$marker" | wc -l)" -lt 2 ] && [ $n -lt 100 ]; do sleep 0.05; n=$((n + 1)); done
    kill -"$signal" "$lane"
    wait "$lane"
    status=$?
    case $signal in INT) want=130 ;; TERM) want=143 ;; HUP) want=129 ;; esac
    [ "$status" -eq "$want" ] || fail "after SIG$signal lane.sh ended with $status, not $want"
    n=0
    while pgrep -f "$marker" >/dev/null && [ $n -lt 100 ]; do sleep 0.05; n=$((n + 1)); done
    if pgrep -f "$marker" >/dev/null; then
        fail "after SIG$signal the lane's processes still run: $(pgrep -af "$marker" | tr '\n' ' ')"
        pkill -f "$marker"
    fi
    grep -q "zep: sleeper stopped by SIG$signal" "$WORK/out" || fail "no line says the lane was stopped by SIG$signal"
done

finish_checks lane.sh

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Runs one of make test's side lanes: COMMAND with its output in LOG, in a
# process group of its own, so that a signal to make (which reaches only
# make's own children) or Ctrl-C ends every process of the lane, down to the
# compilers and apt, rather than leaving them running.
#   quiet  prints one line when COMMAND ends, and LOG's last lines if it
#          failed (a lane that makes caches)
#   whole  prints LOG whole when COMMAND ends (a stage that runs beside
#          others, whose output would otherwise interleave)
# With --terminal the lane stays in make's group and keeps the terminal,
# where sudo may ask for a password; a signal then reaches COMMAND itself.
# Ends with COMMAND's status, or as the signal that ended it.
# Usage: lane.sh [--terminal] quiet|whole NAME LOG COMMAND...
set -u
group=own
if [ "${1:-}" = --terminal ]; then
    group=make
    shift
fi
[ $# -ge 4 ] || { echo "usage: lane.sh [--terminal] quiet|whole NAME LOG COMMAND..." >&2; exit 2; }
mode=$1 name=$2 log=$3
shift 3
case $mode in quiet|whole) ;; *) echo "lane.sh: unknown mode '$mode'" >&2; exit 2 ;; esac
mkdir -p "$(dirname "$log")"

if [ $group = own ]; then
    # A group of its own, in make's session: a new session (setsid) would
    # also be a scheduling group of its own where the kernel groups by
    # session, and would take an equal share of the CPU whatever the
    # priority of its processes. The new group's id is the lane's pid.
    perl -e 'setpgrp(0, 0) or die "lane.sh: setpgrp: $!\n"; exec { $ARGV[0] } @ARGV or die "lane.sh: $ARGV[0]: $!\n"' \
        "$@" >"$log" 2>&1 </dev/null &
    lane=$!
    target=-$!
else
    "$@" >"$log" 2>&1 &
    lane=$!
    target=$!
fi
# The lane started in the background, where INT is ignored: it is ended
# with TERM whatever the signal was.
stop() {
    kill -TERM "$target" 2>/dev/null
    wait "$lane"
    echo "zep: $name stopped by SIG$1 (log: $log)" >&2
    trap - "$1"
    kill -"$1" $$
}
trap 'stop INT' INT
trap 'stop TERM' TERM
trap 'stop HUP' HUP
wait "$lane"
status=$?

if [ "$mode" = whole ]; then
    cat "$log"
    [ "$status" -eq 0 ] || echo "zep: $name failed (log: $log)" >&2
elif [ "$status" -eq 0 ]; then
    echo "zep: $name done (log: $log)"
else
    tail -n 40 "$log"
    echo "zep: $name failed (log: $log)" >&2
fi
exit "$status"

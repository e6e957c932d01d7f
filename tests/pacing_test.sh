#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep's pacing under Xvfb with its music going to PipeWire's null sink, a
# real-timed output, read from the frame log (ZEP_FRAME_LOG) and from a
# recording of the sink.
#   idle     20 s to the demo's end: the intervals between pictures have a
#            median of 16.7 +/- 1 ms and a 99th percentile of at most 20 ms,
#            no demo time is shown twice, each picture is within one frame
#            of the music.
#   starved  10 s to the end, zep held to 25 % of one core (a cgroup's CPU
#            quota, as root), or, where no cgroup can be made, sharing its
#            core with a busy loop: the music never stalls or slows, pictures are
#            dropped instead and still follow the music, and the demo ends
#            when the music reaches 107.2 s.
# Usage: pacing_test.sh idle|starved ZEP ZEP_MUSIC_WAV DATA_DIR MODULE WORK_DIR
set -u
LOAD=$1
shift
. "$(dirname "$0")/cli_checks.sh"
. "$(dirname "$0")/desktop_env.sh"
need Xvfb runuser parec
need_numpy
music_test_args "$@"
case $LOAD in
    idle) START=87.2 ;;
    starved) START=97.25 ;;  # a note sounds at once: silence would hide where the music began
    *) echo "pacing_test.sh: unknown load '$LOAD'" >&2; exit 2 ;;
esac
mkdir -p "$WORK/data" "$WORK/home" && cp "$DATA"/* "$WORK/data/"
prepare_user
start_xvfb 1280x960 || finish_checks "pacing $LOAD"
start_sound_server pipewire || finish_checks "pacing $LOAD"
loops="" cgroup=""
trap 'stop $loops $recorder $SOUND_PIDS $X_PIDS; [ -n "$cgroup" ] && rmdir "$cgroup"' EXIT

# busy: a loop that never sleeps, in $loops.
busy() {
    sh -c 'while :; do :; done' &
    loops="$loops $!"
}

# The starved CPU: a cgroup with a quota of 5 ms in every 20 ms, holding
# zep; where no cgroup can be made, zep's core shared with a busy loop.
LIMIT=""
if [ "$LOAD" = starved ]; then
    if [ -w /sys/fs/cgroup/cgroup.subtree_control ] && grep -qw cpu /sys/fs/cgroup/cgroup.controllers; then
        echo +cpu >/sys/fs/cgroup/cgroup.subtree_control 2>/dev/null
        cgroup=/sys/fs/cgroup/zep-pacing-$$
        mkdir "$cgroup" && echo "5000 20000" >"$cgroup/cpu.max" || cgroup=""
    elif [ -w /sys/fs/cgroup/cpu ]; then
        cgroup=/sys/fs/cgroup/cpu/zep-pacing-$$
        mkdir "$cgroup" && echo 20000 >"$cgroup/cpu.cfs_period_us" &&
            echo 5000 >"$cgroup/cpu.cfs_quota_us" || cgroup=""
    fi
    if [ -n "$cgroup" ]; then
        LIMIT="cgroup $cgroup, 25 % of one core"
    else
        need taskset
        core=$(taskset -pc $$ | sed 's/.*: *//; s/[,-].*//')
        busy
        for loop in $loops; do taskset -pc "$core" "$loop" >/dev/null; done
        LIMIT="core $core, shared with a busy loop"
    fi
    echo "starved: $LIMIT"
fi

(user_exec PULSE_SERVER="$PULSE_SERVER" parec --raw -d zep_sink.monitor --rate=44100 --channels=2 \
    --format=s16le --latency-msec=20) >"$WORK/recording.raw" 2>"$WORK/parec.err" &
recorder=$!
sleep 1
(cd "$WORK/data" && user_exec DISPLAY="$DISPLAY" PULSE_SERVER="$PULSE_SERVER" \
    ZEP_FRAME_LOG="$WORK/frames.log" "$ZEP" --verbose --start $START) >"$WORK/out" 2>"$WORK/err" &
pid=$!
if [ -n "$LIMIT" ]; then
    # Starved once it plays: the replay up to the start moment would take
    # most of the run at this share of the CPU.
    n=0
    until { [ -f "$WORK/frames.log" ] && [ "$(wc -l <"$WORK/frames.log")" -ge 2 ]; } || [ "$n" -ge 300 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    # zep itself: the process started, or its child when runuser started it.
    target=$pid
    [ -n "$AS_USER" ] && target=$(pgrep -P $pid | head -n 1)
    if [ -n "$cgroup" ]; then
        echo "$target" >"$cgroup/cgroup.procs" || fail "cannot move zep into $cgroup"
    else
        taskset -apc "$core" "$target" >/dev/null || fail "cannot move zep to core $core"
    fi
fi
wait_for $pid 600
[ "$status" -eq 0 ] || fail "zep ended with status $status: $(cat "$WORK/out" "$WORK/err")"
sleep 0.5
stop $loops $recorder
loops="" recorder=""
grep '^zep: ' "$WORK/err"

[ -f "$WORK/frames.log" ] || { fail "zep wrote no frame log"; finish_checks "pacing $LOAD"; }
"$PYTHON" "$CHECKS" pacing "$WORK/frames.log" "$LOAD" >"$WORK/pacing.txt" 2>&1 ||
    fail "the pictures: $(cat "$WORK/pacing.txt")"
cat "$WORK/pacing.txt"
"$MUSIC_WAV" "$DATA/$MODULE" 108 "$WORK/music.wav" >/dev/null 2>"$WORK/music.err" ||
    fail "zep-music-wav failed: $(cat "$WORK/music.err")"
"$PYTHON" "$CHECKS" music "$WORK/recording.raw" "$WORK/music.wav" $START >"$WORK/music.txt" 2>&1 ||
    fail "the recorded music: $(cat "$WORK/music.txt")"
cat "$WORK/music.txt"
# The end: the last picture drawn at the demo's end, as long after the first
# as the music played, within 0.2 s: a stalled or slowed music would end the
# demo seconds later. The first picture is shown before its music is heard
# (the device's 46 ms buffer and the sound server's own), which puts the run
# 0.07 to 0.11 s longer than the demo time, idle and starved alike.
awk 'NR == 2 { p0 = $1; d0 = $2 } NR > 1 { p = $1; d = $2 }
     END { printf "last demo time %.3f s, run %.3f s of steady clock for %.3f s of demo\n", d, p - p0, d - d0;
           exit !(d > 107.1 && d < 107.3 && (p - p0) - (d - d0) < 0.2 && (d - d0) - (p - p0) < 0.2) }' \
    "$WORK/frames.log" >"$WORK/end.txt" || fail "the end: $(cat "$WORK/end.txt")"
cat "$WORK/end.txt"
finish_checks "pacing $LOAD"

# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Helpers shared by the shell tests that run the programs as a user does.
# Sourced, not run: `. "$(dirname "$0")/cli_checks.sh"`. Checks record a
# failure and go on, so one run reports every problem.

failures=0

# again_on_a_bare_x_server SCRIPT ARGS...: runs SCRIPT with ARGS once more on
# an X server of its own with no window manager (xvfb-run, 800x600), with
# SDL's dummy audio driver and a fresh $WORK, and ends with its status; in
# that run it returns at once.
again_on_a_bare_x_server() {
    [ -n "${ZEP_ON_OWN_X_SERVER:-}" ] && return 0
    rm -rf "$WORK" && mkdir -p "$WORK"
    export ZEP_ON_OWN_X_SERVER=1 SDL_AUDIODRIVER=dummy
    exec xvfb-run -a -s "-screen 0 800x600x24" sh "$@"
}

# start_openbox LOG: starts openbox on $DISPLAY, its output in LOG and its
# process in $openbox_pid, and waits up to 10 s until it has finished
# starting. Openbox names itself the window manager before it has read its
# theme, and a window mapped in between is never shown; on a first run, with
# no font caches yet, that takes long enough for zep's window to fall in it.
start_openbox() {
    ready="$WORK/openbox-ready"
    rm -f "$ready"
    openbox --startup "touch '$ready'" >"$1" 2>&1 &
    openbox_pid=$!
    n=0
    until [ -e "$ready" ] || [ "$n" -ge 100 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    [ -e "$ready" ] || fail "openbox did not finish starting in 10 s: $(tail -n 3 "$1")"
}

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect STATUS TEXT -- command...: the status and a piece of standard error.
# Standard output is kept in $WORK/stdout, standard error in $WORK/err.
expect() {
    want_status=$1
    want_text=$2
    shift 3
    "$@" >"$WORK/stdout" 2>"$WORK/err"
    status=$?
    [ "$status" -eq "$want_status" ] || fail "$* exited with $status, expected $want_status: $(cat "$WORK/err")"
    grep -qF -- "$want_text" "$WORK/err" || fail "$* did not say '$want_text': $(cat "$WORK/err")"
}

# Waits up to $2 tenths of a second for process $1 to end; its status in
# $status (124 when it had to be stopped).
wait_for() {
    n=0
    while kill -0 "$1" 2>/dev/null && [ "$n" -lt "$2" ]; do
        sleep 0.1
        n=$((n + 1))
    done
    if kill -0 "$1" 2>/dev/null; then
        kill "$1"
        wait "$1"
        status=124
    else
        wait "$1"
        status=$?
    fi
}

# check_plays PROGRAM WHAT: zep as a viewer starts it, through the symbolic
# link "$WORK/zep link" to PROGRAM, in the read-only folder "$WORK/read only",
# on SDL's off-screen drivers: still playing after two seconds, and SIGTERM
# ends it as that signal (143). WHAT names it in failures.
check_plays() {
    mkdir -p "$WORK/read only" && chmod 555 "$WORK/read only"
    ln -s "$1" "$WORK/zep link"
    (cd "$WORK/read only" && exec env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$WORK/zep link") \
        >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    sleep 2
    kill -0 $pid 2>/dev/null || fail "$2 did not run: $(cat "$WORK/err")"
    kill -TERM $pid
    wait_for $pid 100
    [ "$status" -eq 143 ] || fail "$2 ended with status $status, not by SIGTERM: $(cat "$WORK/err")"
}

# find_window TENTHS [--onlyvisible]: the id of a window titled "ZEP. " in
# $window, waiting up to TENTHS tenths of a second for it ("" if none came).
find_window() {
    window=""
    n=0
    while [ -z "$window" ] && [ "$n" -lt "$1" ]; do
        sleep 0.1
        window=$(xdotool search ${2:-} --name "^ZEP\. $" 2>/dev/null | head -n 1)
        n=$((n + 1))
    done
}

# wait_lit TRIES SECONDS: screenshots the 800 x 600 display every SECONDS
# until more than 100000 of its pixels are lit, at most TRIES times (the
# first frames may take a moment on a busy machine); the count in $lit.
wait_lit() {
    lit=0
    n=0
    while [ "$lit" -le 100000 ] && [ "$n" -lt "$1" ]; do
        sleep "$2"
        ffmpeg -loglevel error -y -f x11grab -video_size 800x600 -i "$DISPLAY" -frames:v 1 \
            -pix_fmt gray -f rawvideo "$WORK/shot.gray" || fail "screenshot failed"
        lit=$(od -An -v -tu1 -w1 "$WORK/shot.gray" | awk '$1 > 24 { n++ } END { print n + 0 }')
        n=$((n + 1))
    done
}

# The closing line and the exit status: "all NAME checks passed", or the
# number of failures.
finish_checks() {
    if [ "$failures" -eq 0 ]; then
        echo "all $1 checks passed"
        exit 0
    fi
    echo "$failures $1 checks failed"
    exit 1
}

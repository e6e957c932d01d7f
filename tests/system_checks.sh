# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Helpers for the tests that run zep's release files on a clean Debian
# system (scripts/test-system.sh), under this machine's Xvfb, as root.
# Sourced first: it starts the sourcing script again inside xvfb-run, with
# the same arguments, and brings in cli_checks.sh.

if [ -z "${ZEP_SYSTEM_TEST_INNER:-}" ]; then
    export ZEP_SYSTEM_TEST_INNER=1
    exec xvfb-run -a -s "-screen 0 800x600x24" sh "$0" "$@"
fi
. "$(dirname "$0")/cli_checks.sh"

# enter_system SUITE ROOT: a fresh SUITE system in ROOT with /proc and this
# machine's X server socket and authority inside; left again at exit.
enter_system() {
    system_root=$2
    "$(dirname "$0")/../scripts/test-system.sh" "$1" "$system_root" || return 1
    mkdir -p "$system_root/tmp/.X11-unix" "$system_root/proc" "$system_root/tmp/runtime"
    chmod 700 "$system_root/tmp/runtime"
    cp "${XAUTHORITY:-/nonexistent}" "$system_root/tmp/xauth" 2>/dev/null
    mount -t proc proc "$system_root/proc"
    mount --bind /tmp/.X11-unix "$system_root/tmp/.X11-unix"
    trap leave_system EXIT
}

# on_clean_system WHAT SUITE FILE WORK_DIR MANIFEST: a test's arguments (the
# release FILE it tries on SUITE, as $FILE), and a fresh SUITE system in
# WORK_DIR/root as $root; WHAT names the test in its summary.
on_clean_system() {
    WHAT=$1 SUITE=$2 FILE=$3 WORK=$4 MANIFEST=$5
    mkdir -p "$WORK"
    enter_system "$SUITE" "$WORK/root" || { fail "no $SUITE system"; finish_checks "$SUITE $WHAT"; }
    root=$system_root
}

leave_system() {
    umount "$system_root/tmp/.X11-unix" "$system_root/proc" 2>/dev/null
    trap - EXIT
}

# in_system COMMAND...: runs a command in the system with a bare environment.
in_system() {
    chroot "$system_root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin:/usr/games HOME=/root "$@"
}

# shows_picture NAME SCRIPT: runs the shell SCRIPT in the system, on the X
# server with SDL's dummy sound; a window titled "ZEP. " must show a picture
# that is not black, and a key must end it with status 0.
shows_picture() {
    in_system sh -c "DISPLAY=$DISPLAY XAUTHORITY=/tmp/xauth XDG_RUNTIME_DIR=/tmp/runtime SDL_AUDIODRIVER=dummy; export DISPLAY XAUTHORITY XDG_RUNTIME_DIR SDL_AUDIODRIVER; $2" \
        >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    find_window 100 --onlyvisible
    if [ -z "$window" ]; then
        fail "$1: no window: $(cat "$WORK/err")"
    else
        wait_lit 10 0.5
        [ "$lit" -gt 100000 ] || fail "$1: the window looks blank ($lit lit pixels)"
        xdotool key --window "$window" space
        xdotool key space
    fi
    wait_for $pid 100
    [ "$status" -eq 0 ] || fail "$1: zep ended with status $status: $(cat "$WORK/err")"
}

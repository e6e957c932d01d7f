# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Helpers for the tests that run zep inside real desktop servers (sway's
# headless Wayland, PipeWire, PulseAudio, Xvfb). Sourced after cli_checks.sh,
# with $WORK set. Each test gets its own user runtime folder, sockets and
# display number, so tests can run side by side.
#
# sway and the sound servers refuse to run as root or misbehave there: run as
# root, the servers and zep run as the system user "zeptest" (made if absent).

SKIPPED=77
PYTHON=/usr/bin/python3
CHECKS="$(dirname "$0")/desktop_checks.py"

# skip WHY: ends the test as skipped (ctest's SKIP_RETURN_CODE).
skip() {
    echo "SKIP: $*"
    exit "$SKIPPED"
}

# need TOOL...: skips unless every tool is installed.
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps.sh installs it)"
    done
}

# need_numpy: skips unless Debian's python3 has numpy.
need_numpy() {
    "$PYTHON" -c 'import numpy' 2>/dev/null || skip "python3-numpy is not installed"
}

# prepare_user: $AS_USER runs a command as the test's user, and $WORK and
# the runtime folder $RUNTIME ($WORK/runtime, mode 700) belong to it; $ZEP
# is a program it can run.
prepare_user() {
    RUNTIME=$WORK/runtime
    mkdir -p "$RUNTIME"
    if [ "$(id -u)" -eq 0 ]; then
        if ! id zeptest >/dev/null 2>&1; then
            useradd -r -M -d /nonexistent -s /usr/sbin/nologin zeptest 2>/dev/null ||
                id zeptest >/dev/null 2>&1 || skip "cannot make the user zeptest"
        fi
        AS_USER="runuser -u zeptest --"
        # The user must reach $WORK and zep through the folders above them
        # (a tree under /root is out of its reach): else the user's files go
        # to a folder of its own in /tmp, and zep (with the folder it runs
        # from, for a download's launcher) is copied there.
        chown -R zeptest: "$WORK"
        if ! $AS_USER test -w "$WORK"; then
            echo "zeptest cannot reach $WORK: its files go to /tmp"
            old=$WORK
            WORK=$(mktemp -d /tmp/zep-desktop.XXXXXX)
            cp -R "$old"/. "$WORK"/
            RUNTIME=$WORK/runtime
            chown -R zeptest: "$WORK"
        fi
        if ! $AS_USER test -x "$ZEP"; then
            if [ -x "$(dirname "$ZEP")/lib/zep" ]; then
                cp -R "$(dirname "$ZEP")" "$WORK/program"
            else
                mkdir -p "$WORK/program" && cp "$ZEP" "$WORK/program/"
            fi
            chown -R zeptest: "$WORK/program"
            ZEP=$WORK/program/$(basename "$ZEP")
        fi
    else
        AS_USER=""
    fi
    chmod 700 "$RUNTIME"
}

# user_env VAR=VALUE... command...: runs the command as the test's user in
# a clean environment: PATH, HOME and XDG_RUNTIME_DIR, plus the given ones.
# user_exec is the same in place of the calling (sub)shell, so that a process
# started with `(user_exec ...) &` has the id in $!.
# Once a session bus runs, its address goes along.
user_env() {
    set -- env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WORK/home" XDG_RUNTIME_DIR="$RUNTIME" LANG=C.UTF-8 \
        ${SESSION_BUS:+DBUS_SESSION_BUS_ADDRESS=$SESSION_BUS} "$@"
    $AS_USER "$@"
}
user_exec() {
    set -- env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WORK/home" XDG_RUNTIME_DIR="$RUNTIME" LANG=C.UTF-8 \
        ${SESSION_BUS:+DBUS_SESSION_BUS_ADDRESS=$SESSION_BUS} "$@"
    exec $AS_USER "$@"
}

SESSION_BUS=""

# wait_file TENTHS PATTERN: waits up to TENTHS tenths of a second for a file
# matching the glob PATTERN; its name in $found ("" if none came).
wait_file() {
    found=""
    n=0
    while [ "$n" -lt "$1" ]; do
        for f in $2; do
            [ -e "$f" ] && { found=$f; return; }
        done
        sleep 0.1
        n=$((n + 1))
    done
}

# stop PID...: ends each process started by this test and waits for it.
stop() {
    for p in "$@"; do
        [ -n "$p" ] || continue
        kill "$p" 2>/dev/null
        n=0
        while kill -0 "$p" 2>/dev/null && [ "$n" -lt 30 ]; do
            sleep 0.1
            n=$((n + 1))
        done
        kill -9 "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    return 0
}

# start_sound_server pipewire|pulseaudio: a sound server with one null sink
# "zep_sink" (its monitor "zep_sink.monitor") as the default output, for the
# test's user; the server's processes in $SOUND_PIDS and its PulseAudio
# socket in $PULSE_SERVER. Skips when the server is not installed.
start_sound_server() {
    mkdir -p "$WORK/home"
    [ -n "$AS_USER" ] && chown zeptest: "$WORK/home"
    SOUND_PIDS=""
    PULSE_SERVER="unix:$RUNTIME/pulse/native"
    case $1 in
        pipewire)
            need pipewire wireplumber pipewire-pulse pactl dbus-daemon
            # wireplumber keeps its state and finds its peers on a session bus.
            (user_exec dbus-daemon --session --nofork --address="unix:path=$RUNTIME/bus") \
                >"$WORK/dbus.log" 2>&1 &
            SOUND_PIDS=$!
            wait_file 50 "$RUNTIME/bus"
            SESSION_BUS="unix:path=$RUNTIME/bus"
            (user_exec pipewire) >"$WORK/pipewire.log" 2>&1 &
            SOUND_PIDS="$! $SOUND_PIDS"
            wait_file 50 "$RUNTIME/pipewire-0"
            [ -n "$found" ] || { fail "pipewire did not start: $(tail -n 5 "$WORK/pipewire.log")"; return 1; }
            (user_exec wireplumber) >"$WORK/wireplumber.log" 2>&1 &
            SOUND_PIDS="$! $SOUND_PIDS"
            (user_exec pipewire-pulse) >"$WORK/pipewire-pulse.log" 2>&1 &
            SOUND_PIDS="$! $SOUND_PIDS"
            ;;
        pulseaudio)
            need pulseaudio pactl
            (user_exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
                -L "module-native-protocol-unix auth-anonymous=1" -L module-always-sink) \
                >"$WORK/pulseaudio.log" 2>&1 &
            SOUND_PIDS=$!
            ;;
    esac
    wait_file 100 "$RUNTIME/pulse/native"
    [ -n "$found" ] || { fail "$1 offers no PulseAudio socket"; return 1; }
    n=0
    until user_env PULSE_SERVER="$PULSE_SERVER" pactl info >/dev/null 2>&1 || [ "$n" -ge 50 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    user_env PULSE_SERVER="$PULSE_SERVER" pactl load-module module-null-sink sink_name=zep_sink \
        rate=44100 channels=2 >/dev/null 2>"$WORK/sink.err" ||
        { fail "$1: cannot make a null sink: $(cat "$WORK/sink.err")"; return 1; }
    user_env PULSE_SERVER="$PULSE_SERVER" pactl set-default-sink zep_sink
    # The sink is there once the server lists it.
    n=0
    until user_env PULSE_SERVER="$PULSE_SERVER" pactl list short sinks 2>/dev/null | grep -q zep_sink ||
        [ "$n" -ge 50 ]; do
        sleep 0.1
        n=$((n + 1))
    done
    return 0
}

# start_xvfb WIDTHxHEIGHT [openbox]: an X server of that size (with openbox
# as its window manager if asked) on a display number of its own, in
# $DISPLAY; its processes in $X_PIDS.
start_xvfb() {
    X_PIDS=""
    for try in 1 2 3 4 5; do
        number=$(( ($$ + try * 37) % 400 + 100 ))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${1}x24" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
        X_PIDS=$!
        wait_file 50 "/tmp/.X11-unix/X$number"
        if [ -n "$found" ]; then
            DISPLAY=":$number"
            export DISPLAY
            break
        fi
        stop $X_PIDS
        X_PIDS=""
    done
    [ -n "$X_PIDS" ] || { fail "Xvfb did not start: $(tail -n 3 "$WORK/xvfb.log")"; return 1; }
    if [ "${2:-}" = openbox ]; then
        start_openbox "$WORK/openbox.log"
        X_PIDS="$X_PIDS $openbox_pid"
    fi
    return 0
}

# screen_test_args ZEP ZEP_RENDER DATA_DIR WORK_DIR: the arguments of a test
# that compares the screen with zep-render's picture, into a fresh $WORK.
# zep starts at $START, in the closing picture, which stands still, so the
# frame shown first ($FRAME) stays on the screen; its picture is written to
# $WORK/reference.bgr0.
screen_test_args() {
    ZEP=$1 RENDER=$2 DATA=$3 WORK=$4
    rm -rf "$WORK" && mkdir -p "$WORK"
    START=100.5
    FRAME=6030  # ceil(100.5 * 60)
    reference_frame "$RENDER" "$DATA" $FRAME "$WORK/reference.bgr0"
}

# music_test_args ZEP ZEP_MUSIC_WAV DATA_DIR MODULE WORK_DIR: the arguments
# of a test that records zep's music and compares it with zep-music-wav's
# rendering of MODULE, into a fresh $WORK.
music_test_args() {
    ZEP=$1 MUSIC_WAV=$2 DATA=$3 MODULE=$4 WORK=$5
    rm -rf "$WORK" && mkdir -p "$WORK"
}

# x_shot FILE: the whole X screen as a PPM picture.
x_shot() {
    size=$(xdpyinfo | awk '/dimensions:/ { print $2; exit }')
    ffmpeg -loglevel error -y -f x11grab -video_size "$size" -i "$DISPLAY" -frames:v 1 \
        -pix_fmt rgb24 -c:v ppm -f image2 "$1"
}

# reference_frame ZEP_RENDER DATA FRAME FILE: zep-render's picture of FRAME
# (counted from 1 at 60 frames a second) as 640x480 bgr0 bytes.
reference_frame() {
    "$1" --data "$2" --from "$3" --to "$3" --rawvideo "$4" 2>"$WORK/render.err" ||
        fail "zep-render could not draw frame $3: $(cat "$WORK/render.err")"
}

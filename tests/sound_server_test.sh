#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep's music through a desktop's sound server, run as an ordinary user:
#   pipewire    pipewire, wireplumber and pipewire-pulse, SDL's choice of
#               back end (its PulseAudio one, as SDL 2.26 prefers it)
#   pipewire-native  the same, through SDL's PipeWire back end
#   pulseaudio  PulseAudio
#   alsa        no server zep can see, only ALSA, whose default device is
#               a PulseAudio sink reached through ALSA's pulse plugin
#   none        no server and no device: zep says so and ends with 1
# Each has one null sink; its monitor is recorded while zep plays from 95 s
# to its end, and the recording must hold zep-music-wav's rendering of the
# module from 95 s on: all of it, at its own rate, no gap. The frame log
# shows each picture within one frame of the music heard.
# Usage: sound_server_test.sh SERVER ZEP ZEP_MUSIC_WAV DATA_DIR MODULE WORK_DIR
set -u
SERVER=$1
shift
. "$(dirname "$0")/cli_checks.sh"
. "$(dirname "$0")/desktop_env.sh"
need runuser parec
need_numpy
music_test_args "$@"
START=95
mkdir -p "$WORK/data" "$WORK/home" && cp "$DATA"/* "$WORK/data/"
prepare_user

# zep_env VAR=VALUE...: what zep runs with besides the clean environment.
# A PulseAudio client starts a server of its own where it finds none, if
# one is installed: not here, where no server is meant to run.
mkdir -p "$WORK/home/.config/pulse"
echo "autospawn = no" >"$WORK/home/.config/pulse/client.conf"
[ -n "$AS_USER" ] && chown -R zeptest: "$WORK/home"
if [ "$SERVER" = none ]; then
    # No server, and an ALSA whose default device does not exist.
    printf 'pcm.!default { type hw card 99 }\nctl.!default { type hw card 99 }\n' >"$WORK/home/.asoundrc"
    (cd "$WORK/data" && user_exec SDL_VIDEODRIVER=offscreen "$ZEP" --start 105) >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    wait_for $pid 150
    [ "$status" -eq 1 ] || fail "with no sound device zep ended with status $status"
    grep -qx 'Error initializing output device.' "$WORK/out" ||
        fail "with no sound device zep printed '$(cat "$WORK/out")': $(cat "$WORK/err")"
    finish_checks "sound $SERVER"
fi

if [ "$SERVER" = alsa ]; then
    [ -e /usr/lib/x86_64-linux-gnu/alsa-lib/libasound_module_pcm_pulse.so ] ||
        [ -n "$(find /usr/lib -name libasound_module_pcm_pulse.so 2>/dev/null | head -n 1)" ] ||
        skip "ALSA's pulse plugin (libasound2-plugins) is not installed"
    start_sound_server pipewire || finish_checks "sound $SERVER"
    # zep sees neither server: its runtime folder is another, empty one.
    mkdir -p "$WORK/zep-runtime" && chmod 700 "$WORK/zep-runtime"
    [ -n "$AS_USER" ] && chown zeptest: "$WORK/zep-runtime"
    cat >"$WORK/home/.asoundrc" <<EOF
pcm.!default { type pulse server "$PULSE_SERVER" }
ctl.!default { type pulse server "$PULSE_SERVER" }
EOF
    [ -n "$AS_USER" ] && chown zeptest: "$WORK/home/.asoundrc"
    ZEP_ENV="XDG_RUNTIME_DIR=$WORK/zep-runtime"
    WANT_DRIVER=alsa
elif [ "$SERVER" = pipewire-native ]; then
    start_sound_server pipewire || finish_checks "sound $SERVER"
    ZEP_ENV="SDL_AUDIODRIVER=pipewire"
    WANT_DRIVER=pipewire
else
    start_sound_server "$SERVER" || finish_checks "sound $SERVER"
    ZEP_ENV="PULSE_SERVER=$PULSE_SERVER"
    WANT_DRIVER="pipewire|pulseaudio"
fi

"$MUSIC_WAV" "$DATA/$MODULE" 108 "$WORK/music.wav" >/dev/null 2>"$WORK/music.err" ||
    fail "zep-music-wav failed: $(cat "$WORK/music.err")"
(user_exec PULSE_SERVER="$PULSE_SERVER" parec --raw -d zep_sink.monitor --rate=44100 --channels=2 \
    --format=s16le --latency-msec=20) >"$WORK/recording.raw" 2>"$WORK/parec.err" &
recorder=$!
trap 'stop $recorder $SOUND_PIDS' EXIT
sleep 1
# shellcheck disable=SC2086
(cd "$WORK/data" && user_exec $ZEP_ENV SDL_VIDEODRIVER=offscreen ZEP_FRAME_LOG="$WORK/frames.log" \
    "$ZEP" --verbose --start $START) >"$WORK/out" 2>"$WORK/err" &
pid=$!
wait_for $pid 300
[ "$status" -eq 0 ] || fail "zep ended with status $status: $(cat "$WORK/out" "$WORK/err")"
sleep 0.5
stop $recorder
driver=$(sed -n 's/^zep: audio: driver \([^,]*\),.*/\1/p' "$WORK/err")
echo "$driver" | grep -Eqx "$WANT_DRIVER" || fail "zep's sound went to '$driver', not $WANT_DRIVER: $(cat "$WORK/err")"
grep '^zep: audio:' "$WORK/err"
"$PYTHON" "$CHECKS" music "$WORK/recording.raw" "$WORK/music.wav" $START >"$WORK/music.txt" 2>&1 ||
    fail "the recorded music: $(cat "$WORK/music.txt")"
cat "$WORK/music.txt"
if [ -f "$WORK/frames.log" ]; then
    "$PYTHON" "$CHECKS" pacing "$WORK/frames.log" step >"$WORK/pacing.txt" 2>&1 ||
        fail "the pictures and the music: $(cat "$WORK/pacing.txt")"
    cat "$WORK/pacing.txt"
else
    fail "zep wrote no frame log"
fi
finish_checks "sound $SERVER"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep in a Wayland session with no X server: sway's headless back end, drawn
# on the CPU (pixman), run as an ordinary user, with no DISPLAY. zep names
# wayland as its video driver, the screenshot (grim) shows zep-render's
# picture of the same frame, a run started at 105 s ends by itself with 0,
# a key (wtype) ends it with 0; at output scale 2 and in fullscreen each
# picture pixel is a uniform 2x2 block of the output's own pixels.
# Usage: wayland_test.sh ZEP ZEP_RENDER DATA_DIR WORK_DIR
#   ZEP is the program as a viewer starts it; it must play DATA_DIR when
#   started in it (the Linux download's launcher finds its own data).
set -u
. "$(dirname "$0")/cli_checks.sh"
. "$(dirname "$0")/desktop_env.sh"
need sway swaymsg grim wtype runuser
need_numpy
screen_test_args "$@"
mkdir -p "$WORK/data" "$WORK/home" && cp "$DATA"/* "$WORK/data/"
prepare_user

# One output of 1280x960 pixels; zep's window floats at the size it asks
# for, centred, with no border and no bar.
cat >"$WORK/sway.config" <<'EOF'
xwayland disable
default_border none
default_floating_border none
output HEADLESS-1 resolution 1280x960 position 0 0 scale 1 background #000000 solid_color
for_window [title="^ZEP\. $"] floating enable
EOF
(user_exec WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$WORK/sway.config") >"$WORK/sway.log" 2>&1 &
sway=$!
trap 'stop $sway' EXIT
wait_file 100 "$RUNTIME/sway-ipc.*.sock"
SWAYSOCK=$found
wait_file 50 "$RUNTIME/wayland-[0-9]"
WAYLAND=$(basename "$found")
if [ -z "$SWAYSOCK" ] || [ -z "$WAYLAND" ]; then
    fail "sway did not start: $(tail -n 5 "$WORK/sway.log")"
    finish_checks wayland
fi

wl() {
    user_env WAYLAND_DISPLAY="$WAYLAND" SWAYSOCK="$SWAYSOCK" "$@"
}

# start_zep OPTION...: zep in the data folder, with SDL's dummy sound.
start_zep() {
    (cd "$WORK/data" && user_exec WAYLAND_DISPLAY="$WAYLAND" SDL_AUDIODRIVER=dummy "$ZEP" "$@") \
        >"$WORK/out" 2>"$WORK/err" &
    pid=$!
}

# shows WHAT SCALE X Y: a zep window is mapped and the screenshot holds the
# reference at SCALE at (X, Y), waiting up to 10 s for both.
shows() {
    n=0
    while :; do
        if wl swaymsg -t get_tree 2>/dev/null | grep -q '"name": "ZEP\. "'; then
            wl grim -t ppm "$WORK/shot.ppm" 2>"$WORK/grim.err" || fail "$1: grim failed: $(cat "$WORK/grim.err")"
            "$PYTHON" "$CHECKS" picture "$WORK/shot.ppm" "$WORK/reference.bgr0" "$2" "$3" "$4" \
                >"$WORK/picture.txt" 2>&1 && return 0
        fi
        if [ "$n" -ge 50 ] || ! kill -0 "$pid" 2>/dev/null; then
            break
        fi
        sleep 0.2
        n=$((n + 1))
    done
    [ -f "$WORK/shot.ppm" ] && cp "$WORK/shot.ppm" "$WORK/$(echo "$1" | tr ' ' '-').ppm"
    fail "$1: $(cat "$WORK/picture.txt" 2>/dev/null || echo "no window: $(cat "$WORK/err")")"
    rm -f "$WORK/picture.txt"
}

# key_ends WHAT: a key from wtype ends zep with status 0. Each wtype brings
# a keyboard of its own to the seat, with its keymap: the key comes a second
# later, when SDL has taken in the keymap (SDL 2.26 may crash on a key that
# comes with a new keyboard's keymap, in libxkbcommon).
key_ends() {
    wl wtype -s 1000 -k space 2>"$WORK/wtype.err" || fail "$1: wtype failed: $(cat "$WORK/wtype.err")"
    wait_for $pid 100
    [ "$status" -eq 0 ] || fail "$1: zep ended with status $status after a key: $(cat "$WORK/err")"
}

# 1. At scale 1 the window shows the picture one to one, in the middle;
# --verbose names the Wayland driver and the sizes.
start_zep --verbose --start $START
shows "window" 1 centre centre
grep -qx 'zep: video driver: wayland' "$WORK/err" || fail "--verbose does not name wayland: $(cat "$WORK/err")"
grep -q '^zep: drawable: 640x480, window: 640x480, display: [0-9]* Hz$' "$WORK/err" ||
    fail "--verbose does not give the sizes at scale 1: $(cat "$WORK/err")"
key_ends "window"

# 2. Started near the end, it ends by itself with 0.
start_zep --start 105
wait_for $pid 150
[ "$status" -eq 0 ] || fail "started at 105 s, zep ended with status $status: $(cat "$WORK/err")"

# 3. Fullscreen covers the output, each picture pixel a 2x2 block.
start_zep --fullscreen --start $START
shows "fullscreen" 2 0 0
wl swaymsg -t get_tree 2>/dev/null | grep -c '"fullscreen_mode": 1' >/dev/null || fail "sway has no fullscreen window"
key_ends "fullscreen"

# 4. At scale 2 the window is 640x480 in the output's units and its picture
# is drawn at the output's own pixels: 2x2 blocks, not the compositor's
# blurred enlargement.
wl swaymsg output HEADLESS-1 scale 2 >/dev/null || fail "swaymsg cannot set the scale"
start_zep --verbose --start $START
shows "scale 2" 2 0 0
grep -q '^zep: drawable: 1280x960, window: 640x480, display: [0-9]* Hz$' "$WORK/err" ||
    fail "--verbose does not give the sizes at scale 2: $(cat "$WORK/err")"
key_ends "scale 2"

start_zep --fullscreen --start $START
shows "scale 2 fullscreen" 2 0 0
key_ends "scale 2 fullscreen"

finish_checks wayland

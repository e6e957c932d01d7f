#!/bin/sh
# zep's Debian package on a clean Debian system (scripts/test-system.sh): apt
# installs it with its dependencies from the archive, zep started from the
# home folder shows its picture on this machine's X server and a key ends it
# with 0, the installed zep-render on the installed data gives every frame of
# the manifest, and a purge leaves no file of the package behind.
# Usage: deb_test.sh SUITE DEB WORK_DIR MANIFEST     (as root)
set -u
SUITE=$1
DEB=$2
WORK=$3
MANIFEST=$4

if [ -z "${ZEP_DEB_TEST_INNER:-}" ]; then
    export ZEP_DEB_TEST_INNER=1
    exec xvfb-run -a -s "-screen 0 800x600x24" sh "$0" "$@"
fi
. "$(dirname "$0")/cli_checks.sh"
HERE=$(cd "$(dirname "$0")" && pwd)

root=$WORK/root
mkdir -p "$WORK"
"$HERE/../scripts/test-system.sh" "$SUITE" "$root" || { fail "no $SUITE system"; finish_checks "$SUITE package"; }
# The system sees this machine's X server through its socket.
mkdir -p "$root/tmp/.X11-unix" "$root/proc"
mount -t proc proc "$root/proc"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
trap 'umount "$root/tmp/.X11-unix" "$root/proc" 2>/dev/null' EXIT
in_system() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin:/usr/games HOME=/root "$@"; }

cp "$DEB" "$root/tmp/"
deb=/tmp/$(basename "$DEB")
in_system apt-get install -y -qq --no-install-recommends "$deb" >"$WORK/install.log" 2>&1 ||
    fail "apt-get install failed: $(tail -n 5 "$WORK/install.log")"
in_system dpkg -L zep >"$WORK/files" 2>&1 || fail "zep is not installed"

# zep from the home folder, on the X server, with SDL's dummy sound.
cp "${XAUTHORITY:-/nonexistent}" "$root/tmp/xauth" 2>/dev/null
mkdir -p "$root/tmp/runtime" && chmod 700 "$root/tmp/runtime"
in_system sh -c "cd /root && DISPLAY=$DISPLAY XAUTHORITY=/tmp/xauth XDG_RUNTIME_DIR=/tmp/runtime SDL_AUDIODRIVER=dummy exec zep" \
    >"$WORK/out" 2>"$WORK/err" &
pid=$!
window=""
n=0
while [ -z "$window" ] && [ "$n" -lt 100 ]; do
    sleep 0.1
    window=$(xdotool search --onlyvisible --name "^ZEP\. $" 2>/dev/null | head -n 1)
    n=$((n + 1))
done
if [ -z "$window" ]; then
    fail "zep showed no window: $(cat "$WORK/err")"
else
    sleep 1.5
    ffmpeg -loglevel error -y -f x11grab -video_size 800x600 -i "$DISPLAY" -frames:v 1 \
        -pix_fmt gray -f rawvideo "$WORK/shot.gray" || fail "screenshot failed"
    lit=$(od -An -v -tu1 -w1 "$WORK/shot.gray" | awk '$1 > 24 { n++ } END { print n + 0 }')
    [ "$lit" -gt 100000 ] || fail "the window looks blank ($lit lit pixels)"
    xdotool key --window "$window" space
    xdotool key space
fi
wait_for $pid 100
[ "$status" -eq 0 ] || fail "zep ended with status $status: $(cat "$WORK/err")"

# Every frame of the whole run.
in_system zep-render --data /usr/share/games/zep --hashes - >"$WORK/hashes" 2>"$WORK/err" ||
    fail "zep-render failed: $(cat "$WORK/err")"
cmp -s "$MANIFEST" "$WORK/hashes" || fail "the installed zep-render's frames differ from the manifest"

# A purge takes every file of the package with it.
in_system apt-get purge -y -qq zep >"$WORK/purge.log" 2>&1 || fail "apt-get purge failed: $(tail -n 5 "$WORK/purge.log")"
left=""
while read -r path; do
    [ -f "$root$path" ] || [ -L "$root$path" ] && left="$left $path"
done <"$WORK/files"
[ -d "$root/usr/share/games/zep" ] && left="$left /usr/share/games/zep/"
[ -d "$root/usr/lib/games/zep" ] && left="$left /usr/lib/games/zep/"
[ -z "$left" ] || fail "left after the purge:$left"

umount "$root/tmp/.X11-unix" "$root/proc"
trap - EXIT
rm -rf "$root"
finish_checks "$SUITE package"

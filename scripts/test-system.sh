#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Minimal Debian systems for testing what zep ships, as a viewer's machine
# has them: libc, the X11 client libraries and ALSA's libasound, and no SDL2,
# libopenmpt or compiler. Each is made once with debootstrap and kept as a
# tarball in the cache (with apt's package lists and the packages zep's .deb
# depends on already downloaded), so later runs need no network; every test
# run unpacks a fresh copy.
#
# bookworm-build is the other kind: a Debian 12 build system (debootstrap's
# buildd variant: build-essential) with the Build-Depends of debian/control
# installed, and nothing else, for dpkg-buildpackage. Its tarball is named
# by a hash of those Build-Depends, so a change to them makes it anew and an
# unchanged list is never installed twice.
#
# Usage: test-system.sh SUITE DIR    unpack a fresh SUITE (bookworm, trixie,
#                                    bookworm-build) into DIR
#        test-system.sh SUITE        only make SUITE's tarball, if it is not made yet
# The cache is ZEP_SYSTEM_CACHE, by default ~/.cache/zep/systems. Needs root.
set -eu
SUITE=${1:?usage: test-system.sh SUITE [DIR]}
DIR=${2:-}
CACHE=${ZEP_SYSTEM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zep/systems}
MIRROR=${ZEP_DEBIAN_MIRROR:-http://deb.debian.org/debian}
# Changing what goes into a system changes this, which makes it anew.
RECIPE=1
INCLUDE="libx11-6,libxext6,libxcursor1,libxi6,libxrandr2,libxss1,libxkbcommon0,ca-certificates"
# What zep's package will ask apt for, downloaded into the system's cache.
PREFETCH="libsdl2-2.0-0 libopenmpt0 libpng16-16"

VARIANT=minbase
DEBIAN_SUITE=$SUITE
case $SUITE in
    bookworm) INCLUDE="$INCLUDE,libasound2" ;;
    trixie) INCLUDE="$INCLUDE,libasound2t64" ;;  # renamed for 64-bit time
    bookworm-build)
        DEBIAN_SUITE=bookworm VARIANT=buildd INCLUDE="" PREFETCH=""
        control=$(cd "$(dirname "$0")/.." && pwd)/debian/control
        [ -s "$control" ] || { echo "test-system.sh: no $control" >&2; exit 1; }
        # The Build-Depends field, continuation lines included.
        build_depends=$(awk '/^Build-Depends:/ { on = 1; print; next }
                             on && /^[ \t]/ { print; next } { on = 0 }' "$control")
        [ -n "$build_depends" ] || { echo "test-system.sh: $control has no Build-Depends" >&2; exit 1; }
        RECIPE=$RECIPE-$(printf '%s\n' "$build_depends" | sha256sum | cut -c1-12) ;;
    *) echo "test-system.sh: unknown suite '$SUITE' (known: bookworm, trixie, bookworm-build)" >&2; exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "test-system.sh: needs root (debootstrap and chroot)" >&2; exit 2; }

tarball=$CACHE/$SUITE-$RECIPE.tar
if [ ! -s "$tarball" ]; then
    mkdir -p "$CACHE"
    work=$(mktemp -d "$CACHE/.$SUITE.XXXXXX")
    # (set -e holds inside the trap too: a umount of what is not mounted
    # must not stop it, nor turn a finished system into a failure.)
    trap 'umount "$work/root/proc" 2>/dev/null || true; rm -rf "$work"' EXIT
    echo "test-system.sh: making a minimal $SUITE system (once; kept in $CACHE)"
    debootstrap --variant="$VARIANT" ${INCLUDE:+--include="$INCLUDE"} "$DEBIAN_SUITE" "$work/root" "$MIRROR" \
        >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log" >&2; exit 1; }
    cp /etc/resolv.conf "$work/root/etc/resolv.conf"
    mount -t proc proc "$work/root/proc"
    if [ -n "${build_depends:-}" ]; then
        # apt reads the Build-Depends from a control file of their own.
        mkdir -p "$work/root/tmp/build-depends/debian"
        printf 'Source: zep\n%s\n\nPackage: zep\nArchitecture: any\n' "$build_depends" \
            >"$work/root/tmp/build-depends/debian/control"
        chroot "$work/root" sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
            apt-get build-dep -qq -y --no-install-recommends /tmp/build-depends && apt-get clean" \
            >"$work/prefetch.log" 2>&1 || { tail -n 20 "$work/prefetch.log" >&2; exit 1; }
        rm -rf "$work/root/tmp/build-depends"
    else
        chroot "$work/root" sh -c "apt-get update -qq && apt-get install -qq -y --download-only --no-install-recommends $PREFETCH" \
            >"$work/prefetch.log" 2>&1 || { tail -n 20 "$work/prefetch.log" >&2; exit 1; }
    fi
    umount "$work/root/proc"
    tar -C "$work/root" -cf "$tarball.partial" .
    mv "$tarball.partial" "$tarball"
    rm -rf "$work"
    trap - EXIT
fi
[ -n "$DIR" ] || exit 0
rm -rf "$DIR" && mkdir -p "$DIR"
tar -C "$DIR" -xf "$tarball"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Installs the Debian packages zep needs to build, test and run; asks apt-get
# only for what is missing, so it is quick and quiet when all is there.
# Usage: install-deps.sh [windows] [linux] | caches
#   (no argument)  the Linux build, its tests and the demo
#   windows        also the Windows cross-build and its tests under wine
#   linux          also the Linux downloads for x86-64 and ARM64 and their
#                  tests (ARM64 under qemu-user)
#   caches         only what `make caches` makes its caches with, and what
#                  the native and sanitizer builds compile with: the
#                  compilers and headers that build the libraries of the
#                  Windows build and the Linux downloads, zep's own build
#                  dependencies, and debootstrap (a quarter of the packages;
#                  the rest, mostly test tools, can install while those
#                  compile)
set -eu

# Native build, tests and tools (python3 writes the window icon's header).
PACKAGES="cmake ninja-build g++ make pkg-config python3 libsdl2-dev libopenmpt-dev libgtest-dev
libbenchmark-dev libfreetype-dev fonts-dejavu-core libpng-dev ffmpeg xvfb xauth xdotool
x11-utils openbox sox clang libclang-rt-14-dev binutils
desktop-file-utils appstream man-db reuse"
# The desktops the demo is tested on: sway's headless Wayland (grim for
# screenshots, wtype for keys), PipeWire with its PulseAudio server and
# ALSA's pulse plugin, a session bus for wireplumber, the tools that record
# and set up its sinks, and numpy for the checks of what was shown and heard.
PACKAGES="$PACKAGES sway grim wtype pipewire pipewire-bin wireplumber pipewire-pulse pulseaudio-utils
libasound2-plugins dbus-daemon python3-numpy util-linux procps"
# The Debian package and the clean Debian systems the downloads and the
# package are tested on.
PACKAGES="$PACKAGES dpkg-dev lintian autopkgtest debootstrap debian-archive-keyring xz-utils"
# Browser build and its tests: the WebAssembly compiler (its JavaScript
# tools need acorn), Node.js and headless Chromium, Python for make serve,
# brotli for the site's precompressed copies and zopfli for its data pack.
PACKAGES="$PACKAGES emscripten node-acorn nodejs chromium python3 brotli zopfli"
# Windows cross-build and its tests under wine (install-deps.sh windows).
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev xz-utils
debian-archive-keyring wine wine64"
# Linux downloads (install-deps.sh linux): Debian's sources of SDL2 and the
# libraries, the ARM64 cross compiler and qemu-user, and the headers of the
# back ends SDL loads at run time.
LINUX_PACKAGES="g++-aarch64-linux-gnu qemu-user-static dpkg-dev xz-utils debian-archive-keyring
libx11-dev libxext-dev libxrandr-dev libxcursor-dev libxi-dev libxfixes-dev libxss-dev
libxinerama-dev libxxf86vm-dev libwayland-dev libxkbcommon-dev libdecor-0-dev libegl-dev
libgl-dev libasound2-dev libpulse-dev libpipewire-0.3-dev libdbus-1-dev"

# What builds the libraries (scripts/build-deps.sh): SDL2's configuration
# looks for the headers of what it can use, which libsdl2-dev and the Linux
# group bring, so all of them are here before it runs. And what the native
# and sanitizer builds need, so that they compile while the rest installs.
CACHE_PACKAGES="cmake ninja-build g++ make pkg-config libsdl2-dev dpkg-dev xz-utils
debian-archive-keyring debootstrap g++-mingw-w64-x86-64-posix libz-mingw-w64-dev $LINUX_PACKAGES
python3 libopenmpt-dev libgtest-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core libpng-dev
binutils"

for group in "$@"; do
    case $group in
        windows) PACKAGES="$PACKAGES $WINDOWS_PACKAGES" ;;
        linux) PACKAGES="$PACKAGES $LINUX_PACKAGES" ;;
        caches)
            [ $# -eq 1 ] || { echo "install-deps.sh: 'caches' goes alone" >&2; exit 2; }
            PACKAGES=$CACHE_PACKAGES ;;
        *) echo "install-deps.sh: unknown group '$group' (known: windows, linux, caches)" >&2; exit 2 ;;
    esac
done

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
# npm comes with some builds of nodejs and as its own package with others.
[ "$PACKAGES" = "$CACHE_PACKAGES" ] || command -v npm >/dev/null 2>&1 || missing="$missing npm"
[ -z "$missing" ] && exit 0

echo "installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing

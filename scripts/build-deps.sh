#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Builds the libraries zep links for one target from Debian's own source
# packages, so a download needs none of them installed:
#   windows-x86_64  SDL2, libopenmpt and libpng static, with mingw-w64
#   linux-x86_64    SDL2 shared (its video and audio back ends loaded at run
#   linux-arm64     time, so it needs only their headers to build), zlib,
#                   libpng and libopenmpt static (no mpg123, Ogg or Vorbis:
#                   an IT module needs none); ARM64 with Debian's cross GCC
# Each is installed into DEPS/NAME-VERSION and built only once: a prefix
# holding a stamp of the same recipe is kept, so a second run does nothing and
# needs no network.
#
# The sources come through `apt-get source` with a private source list, index
# and download cache under DEPS/apt, so the machine's apt set-up is neither
# needed nor changed. Where the archive lacks a version's .dsc, the orig
# tarball that did download is built instead.
#
# Usage: build-deps.sh TARGET DEPS_DIR
set -eu

[ $# -eq 2 ] || { echo "usage: build-deps.sh windows-x86_64|linux-x86_64|linux-arm64 DEPS_DIR" >&2; exit 2; }
TARGET=$1
DEPS=$(mkdir -p "$2" && cd "$2" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
JOBS=${JOBS:-$(nproc)}

# name  Debian source package  upstream version
SDL2="SDL2 libsdl2 2.26.5"
ZLIB="zlib zlib 1.2.13.dfsg"
LIBPNG="libpng libpng1.6 1.6.39"
LIBOPENMPT="libopenmpt libopenmpt 0.6.9"
# Changing how a target's libraries are built changes its RECIPE, which
# rebuilds them all; changing how one library is built changes its own
# recipe below (library_recipe), which rebuilds only that one.
case $TARGET in
    windows-x86_64)
        TOOLCHAIN=$HERE/../cmake/mingw-w64-x86_64.cmake
        HOST=x86_64-w64-mingw32 TOOL_SUFFIX=-posix
        RECIPE="1 -O2 no-debug static"
        # The build folders' names stay out of the libraries (SDL's renderers
        # name their source files in messages).
        FLAGS="-O2 -g0 -ffile-prefix-map=$DEPS=."
        SDL_OPTIONS="-DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL2_DISABLE_SDL2MAIN=ON -DSDL_STATIC_PIC=OFF"
        # zlib is Debian's libz-mingw-w64-dev.
        PACKAGES="$SDL2
$LIBOPENMPT
$LIBPNG" ;;
    linux-x86_64|linux-arm64)
        if [ "$TARGET" = linux-arm64 ]; then
            TOOLCHAIN=$HERE/../cmake/linux-aarch64.cmake HOST=aarch64-linux-gnu
        else
            TOOLCHAIN="" HOST=x86_64-linux-gnu
        fi
        TOOL_SUFFIX=""
        RECIPE="1 -O2 no-debug sdl-shared"
        # The build folders' names stay out of the libraries.
        FLAGS="-O2 -g0 -fPIC -ffile-prefix-map=$DEPS=."
        SDL_OPTIONS="-DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_RPATH=OFF"
        ZLIB_PREFIX=$DEPS/zlib-1.2.13.dfsg
        PACKAGES="$SDL2
$ZLIB
$LIBPNG
$LIBOPENMPT" ;;
    *) echo "build-deps.sh: unknown target '$TARGET'" >&2; exit 2 ;;
esac
# SDL is built with the subsystems zep uses (video with every display back
# end, audio with every sound back end, events, threads, timers and the
# loading of back ends) and without the input devices it never opens:
# joysticks, game controllers (hidapi), haptic feedback and sensors.
SDL_OPTIONS="$SDL_OPTIONS -DSDL_TEST=OFF -DSDL_TESTS=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF
    -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF"

# What a library's stamp holds: the target's recipe and the library's own.
library_recipe() {
    case $1 in
        SDL2) echo "$RECIPE sdl:no-input" ;;
        *) echo "$RECIPE" ;;
    esac
}

# The toolchain files look for the libraries built so far (libpng wants
# zlib) in the folder these variables name.
export ZEP_WINDOWS_DEPS="$DEPS" ZEP_LINUX_ARM64_DEPS="$DEPS"
APT=$DEPS/apt
apt_private() {
    "$@" -o Dir::Etc::SourceList="$APT/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
        -o Dir::State::Lists="$APT/lists" -o Dir::State::status=/dev/null \
        -o Dir::Cache="$APT/cache" -o Debug::NoLocking=1 -o APT::Sandbox::User=root
}

apt_ready=""
prepare_apt() {
    [ -n "$apt_ready" ] && return
    mkdir -p "$APT/lists/partial" "$APT/cache/archives/partial"
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    cat >"$APT/sources.list" <<EOF
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
EOF
    apt_private apt-get update -qq
    apt_ready=1
}

# The Debian versions of source package $1 whose upstream version is $2,
# newest first.
debian_versions() {
    apt_private apt-cache showsrc "$1" | sed -n 's/^Version: //p' | while read -r v; do
        upstream=${v#*:}
        upstream=${upstream%-*}
        upstream=${upstream%+dfsg*}
        [ "$upstream" = "$2" ] && echo "$v"
    done | sort -u | sort -r -V
}

# Unpacks source package $1, upstream version $2, into $3 (fresh).
fetch_source() {
    prepare_apt
    work=$3
    rm -rf "$work" && mkdir -p "$work/download"
    versions=$(debian_versions "$1" "$2")
    [ -n "$versions" ] || { echo "build-deps: no source of $1 $2 in Debian" >&2; exit 1; }
    for v in $versions; do
        if (cd "$work/download" && apt_private apt-get source -qq --download-only "$1=$v"); then
            echo "build-deps: $1 $v from Debian's source package"
            (cd "$work" && dpkg-source -x --no-check download/*.dsc tree >/dev/null)
            return
        fi
        echo "build-deps: $1 $v is incomplete in the archive" >&2
    done
    orig=$(ls "$work"/download/*.orig.tar.* 2>/dev/null | head -n 1)
    [ -n "$orig" ] || { echo "build-deps: cannot download $1 $2" >&2; exit 1; }
    echo "build-deps: $1 $2 from its orig tarball"
    mkdir -p "$work/tree"
    tar -xf "$orig" -C "$work/tree" --strip-components=1
}

cmake_build() {  # source dir, build dir, prefix, cmake options...
    src=$1 bld=$2 prefix=$3
    shift 3
    cmake -S "$src" -B "$bld" -G Ninja ${TOOLCHAIN:+-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"} \
        -DCMAKE_C_COMPILER=$HOST-gcc$TOOL_SUFFIX -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS_RELEASE="$FLAGS -DNDEBUG" \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@" &&
        cmake --build "$bld" -j "$JOBS" && cmake --install "$bld"
}

build_SDL2() {
    # shellcheck disable=SC2086
    if [ "$TARGET" = linux-arm64 ]; then
        # SDL loads its back ends by their sonames, which it reads from the
        # names of the build machine's libraries: the same on every Debian
        # architecture. Only their headers are compiled (after the cross
        # compiler's own), and nothing of them is linked, so SDL's checks
        # of them compile and do not link (the libraries are x86-64 ones).
        # Where a check would look for a function in a library by linking,
        # the answer is glibc's: iconv and clock_gettime are in libc; and the
        # x86-64 folder those checks name is no run path.
        (TOOLCHAIN="" FLAGS="$FLAGS -idirafter /usr/include"
         cmake_build "$1" "$1/build" "$2" $SDL_OPTIONS -DCMAKE_SYSTEM_NAME=Linux \
             -DCMAKE_SYSTEM_PROCESSOR=aarch64 -DCMAKE_LIBRARY_PATH=/usr/lib/x86_64-linux-gnu \
             -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY -DCMAKE_SKIP_RPATH=ON \
             -DHAVE_LIBICONV=OFF -DFOUND_CLOCK_GETTIME_LIBRT=OFF)
    else
        cmake_build "$1" "$1/build" "$2" $SDL_OPTIONS
    fi
}

build_zlib() {
    (cd "$1" && CHOST=$HOST CC=$HOST-gcc AR=$HOST-gcc-ar RANLIB=$HOST-gcc-ranlib CFLAGS="$FLAGS" \
        ./configure --static --prefix="$2" && make -j "$JOBS" libz.a && make install)
}

build_libpng() {
    cmake_build "$1" "$1/build" "$2" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -Dld-version-script=OFF \
        ${ZLIB_PREFIX:+-DZLIB_ROOT="$ZLIB_PREFIX"}
}

build_libopenmpt() {
    (cd "$1" && ./configure -q --host=$HOST --prefix="$2" \
        CC=$HOST-gcc$TOOL_SUFFIX CXX=$HOST-g++$TOOL_SUFFIX AR=$HOST-gcc-ar$TOOL_SUFFIX \
        RANLIB=$HOST-gcc-ranlib$TOOL_SUFFIX \
        CFLAGS="$FLAGS" CXXFLAGS="$FLAGS" \
        --disable-shared --enable-static --disable-openmpt123 --disable-examples --disable-tests \
        --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis \
        --without-vorbisfile --without-portaudio --without-portaudiocpp --without-pulseaudio \
        --without-sndfile --without-flac && precompile_stdafx && make -j "$JOBS" && make install)
}

# Nearly every source of libopenmpt starts with common/stdafx.h, whose
# headers take about a third of each file's compile time. Compiled once
# beforehand with the library's own compile command, GCC reads it from
# common/stdafx.h.gch instead, and writes the same objects byte for byte.
precompile_stdafx() {
    command=$(make -n common/libopenmpt_la-mptRandom.lo | sed -n 's/.*--mode=compile \(.*\) -MT .*/\1/p')
    [ -n "$command" ] || { echo "build-deps: no compile command for libopenmpt's objects" >&2; return 1; }
    # (GCC notes the header's "#pragma once", meaningless in a header
    # compiled on its own.)
    eval "$command -x c++-header common/stdafx.h -o common/stdafx.h.gch"
}

echo "$PACKAGES" | while read -r name package version; do
    prefix=$DEPS/$name-$version
    recipe=$(library_recipe "$name")
    if [ -f "$prefix/.zep-recipe" ] && [ "$(cat "$prefix/.zep-recipe")" = "$recipe" ]; then
        continue
    fi
    echo "build-deps: building $name $version"
    # Other versions of the same library would be found next to this one.
    for old in "$DEPS/$name"-*; do
        [ -e "$old" ] && rm -rf "$old"
    done
    work=$DEPS/src/$name-$version
    fetch_source "$package" "$version" "$work"
    log=$DEPS/$name-$version.log
    if ! "build_$name" "$work/tree" "$prefix" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "build-deps: building $name $version failed (log: $log)" >&2
        exit 1
    fi
    # The licence goes with the library, into the downloads that hold it.
    for licence in LICENSE.txt LICENSE COPYING README; do
        if [ -f "$work/tree/$licence" ]; then
            mkdir -p "$prefix/share/licenses/$name"
            cp "$work/tree/$licence" "$prefix/share/licenses/$name/"
            break
        fi
    done
    echo "$recipe" >"$prefix/.zep-recipe"
    rm -rf "$work"
done

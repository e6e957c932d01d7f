#!/bin/sh
# Builds the static Windows libraries zep links (SDL2, libopenmpt, libpng)
# with mingw-w64 from Debian's own source packages. Each is installed into
# DEPS/NAME-VERSION and built only once: a prefix holding a stamp of the same
# recipe is kept, so a second run does nothing and needs no network.
#
# The sources come through `apt-get source` with a private source list, index
# and download cache under DEPS/apt, so the machine's apt set-up is neither
# needed nor changed. Where the archive lacks a version's .dsc, the orig
# tarball that did download is built instead.
#
# Usage: windows-deps.sh DEPS_DIR
set -eu

DEPS=$(mkdir -p "$1" && cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
TOOLCHAIN=$HERE/../cmake/mingw-w64-x86_64.cmake
HOST=x86_64-w64-mingw32
JOBS=${JOBS:-$(nproc)}
# Changing how the libraries are built changes this, which rebuilds them.
RECIPE="1 -O2 no-debug static"
FLAGS="-O2 -g0"

# name  Debian source package  upstream version
PACKAGES="SDL2 libsdl2 2.26.5
libopenmpt libopenmpt 0.6.9
libpng libpng1.6 1.6.39"

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
    [ -n "$versions" ] || { echo "windows-deps: no source of $1 $2 in Debian" >&2; exit 1; }
    for v in $versions; do
        if (cd "$work/download" && apt_private apt-get source -qq --download-only "$1=$v"); then
            echo "windows-deps: $1 $v from Debian's source package"
            (cd "$work" && dpkg-source -x --no-check download/*.dsc tree >/dev/null)
            return
        fi
        echo "windows-deps: $1 $v is incomplete in the archive" >&2
    done
    orig=$(ls "$work"/download/*.orig.tar.* 2>/dev/null | head -n 1)
    [ -n "$orig" ] || { echo "windows-deps: cannot download $1 $2" >&2; exit 1; }
    echo "windows-deps: $1 $2 from its orig tarball"
    mkdir -p "$work/tree"
    tar -xf "$orig" -C "$work/tree" --strip-components=1
}

cmake_build() {  # source dir, build dir, prefix, cmake options...
    src=$1 bld=$2 prefix=$3
    shift 3
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$FLAGS -DNDEBUG" \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@" &&
        cmake --build "$bld" -j "$JOBS" && cmake --install "$bld"
}

build_SDL2() {
    cmake_build "$1" "$1/build" "$2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
        -DSDL2_DISABLE_SDL2MAIN=ON -DSDL_STATIC_PIC=OFF
}

build_libpng() {
    cmake_build "$1" "$1/build" "$2" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -Dld-version-script=OFF
}

build_libopenmpt() {
    (cd "$1" && ./configure -q --host=$HOST --prefix="$2" \
        CC=$HOST-gcc-posix CXX=$HOST-g++-posix AR=$HOST-gcc-ar-posix RANLIB=$HOST-gcc-ranlib-posix \
        CFLAGS="$FLAGS" CXXFLAGS="$FLAGS" \
        --disable-shared --enable-static --disable-openmpt123 --disable-examples --disable-tests \
        --disable-doxygen-doc --without-zlib --without-mpg123 --without-ogg --without-vorbis \
        --without-vorbisfile --without-portaudio --without-portaudiocpp --without-pulseaudio \
        --without-sndfile --without-flac && make -j "$JOBS" && make install)
}

echo "$PACKAGES" | while read -r name package version; do
    prefix=$DEPS/$name-$version
    if [ -f "$prefix/.zep-recipe" ] && [ "$(cat "$prefix/.zep-recipe")" = "$RECIPE" ]; then
        continue
    fi
    echo "windows-deps: building $name $version"
    # Other versions of the same library would be found next to this one.
    for old in "$DEPS/$name"-*; do
        [ -e "$old" ] && rm -rf "$old"
    done
    work=$DEPS/src/$name-$version
    fetch_source "$package" "$version" "$work"
    log=$DEPS/$name-$version.log
    if ! "build_$name" "$work/tree" "$prefix" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "windows-deps: building $name $version failed (log: $log)" >&2
        exit 1
    fi
    echo "$RECIPE" >"$prefix/.zep-recipe"
    rm -rf "$work"
done

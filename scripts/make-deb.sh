#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Builds zep_VERSION_ARCH.deb from the install rules: a generic-CPU build
# configured for /usr (programs in /usr/games, the demo itself in
# /usr/lib/games/zep, data in /usr/share/games/zep), installed into a staging
# folder and packed with dpkg-deb. Dependencies come from dpkg-shlibdeps.
# The same sources give the same package: times are the last commit's
# (SOURCE_DATE_EPOCH), build paths are mapped away (CMakeLists.txt), owners
# are root.
# Usage: make-deb.sh BUILD_DIR OUT_DIR
set -eu
SRC=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1" "$2"
BUILD=$(cd "$1" && pwd)
OUT=$(cd "$2" && pwd)
JOBS=${JOBS:-$(nproc)}
: "${SOURCE_DATE_EPOCH:=$(git -C "$SRC" log -1 --format=%ct 2>/dev/null || echo 0)}"
export SOURCE_DATE_EPOCH
umask 022

version=$(sed -n 's/^project(zep VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")
arch=$(dpkg --print-architecture)
deb=$OUT/zep_${version}_${arch}.deb

cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEP_NATIVE=OFF -DZEP_TESTS=OFF \
    -DZEP_DISTRIBUTION=package -DCMAKE_INSTALL_PREFIX=/usr -DZEP_INSTALL_BINDIR=games \
    -DZEP_INSTALL_PROGRAMDIR=lib/games/zep "-DZEP_DEB_FILE=$deb" \
    >/dev/null
cmake --build "$BUILD" -j "$JOBS"

stage=$BUILD/deb-stage
rm -rf "$stage"
DESTDIR=$stage cmake --install "$BUILD" --strip >/dev/null

# What Debian asks of every package beside the files: compressed man pages,
# the copyright file and a changelog.
gzip -9n "$stage"/usr/share/man/man6/*.6
doc=$stage/usr/share/doc/zep
mkdir -p "$doc"
cp "$SRC/packaging/copyright" "$doc/copyright"
date=$(date -u -R -d "@$SOURCE_DATE_EPOCH")
printf 'zep (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
    "$version" "$version" "zep developers <maintainers@zepdemo.org>" "$date" |
    gzip -9n >"$doc/changelog.gz"

# Shared-library dependencies of the programs, as dpkg-shlibdeps computes them.
work=$BUILD/deb-work
rm -rf "$work" && mkdir -p "$work/debian"
printf 'Source: zep\n\nPackage: zep\nArchitecture: any\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps --warnings=0 -O "$stage/usr/games/zep" "$stage/usr/games/zep-render" \
    "$stage/usr/lib/games/zep/zep" | sed -n 's/^shlibs:Depends=//p')

mkdir -p "$stage/DEBIAN"
size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
cat >"$stage/DEBIAN/control" <<CONTROL
Package: zep
Version: $version
Architecture: $arch
Maintainer: zep developers <maintainers@zepdemo.org>
Installed-Size: $size
Depends: $depends
Section: games
Priority: optional
Description: real-time audio-visual demo rendered in software
 A 107-second demo with its own tracker music, showing six effects computed
 pixel by pixel on the CPU: layered texture planes, a spinning cube with
 zoom trails, a bump-lit landscape, an environment-mapped object, a zoom
 tunnel of colour-split stamps and a polar tunnel.
 .
 zep-render writes the demo's frames as PNG pictures, raw video, frame
 hashes or an MP4 video with the music.
CONTROL
(cd "$stage" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$stage/DEBIAN/md5sums"
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod go-w {} +
find "$stage/DEBIAN" -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"

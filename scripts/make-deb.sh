#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Builds zep_VERSION_ARCH.deb the Debian way, from debian/ with
# dpkg-buildpackage, in a clean Debian 12 build system that has only the
# package's Build-Depends installed (scripts/test-system.sh bookworm-build,
# made once and cached). The tree is copied into the system as it is now
# (tracked and new files); the package is copied to OUT_DIR, and BUILD_DIR
# becomes the folder of the package's tests (cmake/package-tests: lintian,
# the package on clean systems, autopkgtest).
# The same sources give the same package: times are the last commit's
# (SOURCE_DATE_EPOCH, scripts/version.sh), the build runs in the same
# folder of the same system, build paths are mapped away.
# DEB_BUILD_OPTIONS is passed on; by default it is "nocheck noddebs": make
# test runs the whole suite itself, so the package build does not run it
# again, and only the .deb is kept.
# Usage: make-deb.sh BUILD_DIR OUT_DIR     (as root: chroot)
# Exit status 1 when the package cannot be built, 2 on wrong use.
set -eu
[ $# -eq 2 ] || { echo "usage: make-deb.sh BUILD_DIR OUT_DIR" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "make-deb.sh: needs root (it builds in a chroot)" >&2; exit 2; }
SRC=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1" "$2"
BUILD=$(cd "$1" && pwd)
OUT=$(cd "$2" && pwd)
JOBS=${JOBS:-$(nproc)}
SOURCE_DATE_EPOCH=$("$SRC/scripts/version.sh" epoch)
export SOURCE_DATE_EPOCH
umask 022

version=$("$SRC/scripts/version.sh" version)
arch=$(dpkg --print-architecture)
name=zep_${version}_${arch}.deb
deb=$OUT/$name
options=${DEB_BUILD_OPTIONS:-nocheck noddebs}

system=$BUILD/system
sh "$SRC/scripts/test-system.sh" bookworm-build "$system"
cleanup() {
    umount "$system/proc" 2>/dev/null || true
    rm -rf "$system"
}
trap cleanup EXIT

# The tree as it is now.
tree=$system/build/zep
"$SRC/scripts/copy-tree.sh" "$SRC" "$tree"

mount -t proc proc "$system/proc"
log=$BUILD/dpkg-buildpackage.log
echo "make-deb: dpkg-buildpackage -us -uc -b in a clean Debian 12 system (DEB_BUILD_OPTIONS=$options; log: $log)"
if ! chroot "$system" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" DEB_BUILD_OPTIONS="$options parallel=$JOBS" \
    sh -c 'cd /build/zep && dpkg-buildpackage -us -uc -b' >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "make-deb: dpkg-buildpackage failed (log: $log)" >&2
    exit 1
fi
[ -s "$system/build/$name" ] || { echo "make-deb: dpkg-buildpackage made no $name (log: $log)" >&2; exit 1; }
cp "$system/build/$name" "$deb.partial"
mv "$deb.partial" "$deb"

# The package's tests, in BUILD_DIR (which may hold an older build of
# another project).
rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles"
cmake -S "$SRC/cmake/package-tests" -B "$BUILD" "-DZEP_DEB_FILE=$deb" >/dev/null
echo "$deb"

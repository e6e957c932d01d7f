#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Each layer includes only the layers beneath it: the ground stands alone,
# the fillers stand on the ground, the scenes on both, the shell (driver and
# music) on the scenes, the platforms on the shell and the ground, and the
# programs on what they run. A platform's folder is included only from within
# it and from the programs that run on it; the shell includes no platform.
# A line `#include "DIR/..."` in a folder names the layer it reaches; any DIR
# its row does not list is a fault (a row naming platforms/NAME allows that
# platform alone; every platform's row allows its own folder). Files of a
# test or a benchmark (test_*, bench_*, fuzz_*) belong to the programs
# whatever folder they sit in. A scene folder's data generator
# (scenes/NAME/*_data.cpp) belongs to zep-data and stands on the shared
# generator pieces (datagen/) as well. The lower layers also name no
# library of windows, sound, pictures, fonts or tests.
# Usage: layers_test.sh SOURCE_DIR
set -u
cd "$1" || exit 1
status=0

# folder: the folders its files may include from
rules='
core: core
raster: core raster
scenes: core raster scenes
shell: core scenes shell
platforms/*: core scenes shell
render: core scenes shell platforms/headless render
web: core scenes shell platforms/web render
'
# The row of a scene folder's data generator.
generator_row='core raster scenes datagen'

# The row a file is checked under: the longest folder of the table that
# holds it; a platform's files, the row platforms/* (each platform may also
# include from its own folder).
row_of() {
    case "$1" in platforms/*/*) printf 'platforms/*'; return ;; esac
    best=
    for folder in $(printf '%s\n' "$rules" | sed -n 's/^\([^:]*\):.*/\1/p'); do
        case "$1" in
        "$folder"/*) [ ${#folder} -gt ${#best} ] && best=$folder ;;
        esac
    done
    printf '%s' "$best"
}

files=$(find core raster scenes shell platforms render web -type f \( -name '*.h' -o -name '*.cpp' \) | LC_ALL=C sort)
[ -n "$files" ] || { echo "no sources under $1"; exit 1; }
for file in $files; do
    case "${file##*/}" in test_* | bench_* | fuzz_*) continue ;; esac
    row=$(row_of "$file")
    allowed=$(printf '%s\n' "$rules" | awk -F': ' -v row="$row" '$1 == row { print $2 }')
    if [ "$row" = 'platforms/*' ]; then
        row=$(printf '%s' "$file" | cut -d/ -f1-2)
        allowed="$allowed $row"
    fi
    case "$file" in scenes/*/*_data.cpp) row=datagen allowed=$generator_row ;; esac
    for dir in $(sed -n 's/^[ \t]*#[ \t]*include[ \t]*"\([^"/]*\)\/.*/\1/p' "$file" | LC_ALL=C sort -u); do
        ok=no
        for a in $allowed; do
            case "$a" in "$dir" | "$dir"/*) ok=yes ;; esac
        done
        # Of the platforms, only those the row names.
        if [ "$ok" = yes ] && [ "$dir" = platforms ]; then
            for platform in $(sed -n 's/^[ \t]*#[ \t]*include[ \t]*"platforms\/\([^"/]*\)\/.*/\1/p' "$file"); do
                case " $allowed " in
                *" platforms/$platform "*) ;;
                *) echo "$file: includes platforms/$platform/, a platform's folder $row may not reach"; status=1 ;;
                esac
            done
        fi
        [ "$ok" = yes ] || { echo "$file: includes from $dir/, above its layer ($row may include ${allowed})"; status=1; }
    done
    case "$row" in
    core | raster | scenes)
        if grep -En '^[ \t]*#[ \t]*include[ \t]*<(SDL|libopenmpt|png|ft2build|freetype|gtest|gmock|benchmark|emscripten|X11|windows\.h)' "$file"; then
            echo "$file: the $row layer names an outside library"
            status=1
        fi ;;
    esac
done
[ "$status" = 0 ] && echo "every include stays in its layer or beneath it"
exit "$status"

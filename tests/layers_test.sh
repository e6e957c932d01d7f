#!/bin/sh
# Each layer includes only the layers beneath it: the ground stands alone,
# the fillers stand on the ground, the scenes on both, the driver and the
# music on the scenes, the platforms on the driver. A line `#include "DIR/..."`
# in a folder names the layer it reaches; any DIR its row does not list is a
# fault. Files of a test or a benchmark (test_*, bench_*, fuzz_*) belong to
# the programs whatever folder they sit in. A scene folder's data generator
# (scenes/NAME/*_data.cpp) belongs to zep-data and stands on the shared
# generator pieces (datagen/) as well. The lower layers also name no library
# of windows, sound, pictures, fonts or tests.
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
shell/headless: core scenes shell
shell/sdl: core scenes shell
'
# The row of a scene folder's data generator.
generator_row='core raster scenes datagen'

# The row a file is checked under: the longest folder of the table that
# holds it.
row_of() {
    best=
    for folder in $(printf '%s\n' "$rules" | sed -n 's/^\([^:]*\):.*/\1/p'); do
        case "$1" in
        "$folder"/*) [ ${#folder} -gt ${#best} ] && best=$folder ;;
        esac
    done
    printf '%s' "$best"
}

files=$(find core raster scenes shell -type f \( -name '*.h' -o -name '*.cpp' \) | LC_ALL=C sort)
[ -n "$files" ] || { echo "no sources under $1"; exit 1; }
for file in $files; do
    case "${file##*/}" in test_* | bench_* | fuzz_*) continue ;; esac
    row=$(row_of "$file")
    allowed=$(printf '%s\n' "$rules" | sed -n "s#^$row: ##p")
    case "$file" in scenes/*/*_data.cpp) row=datagen allowed=$generator_row ;; esac
    for dir in $(sed -n 's/^[ \t]*#[ \t]*include[ \t]*"\([^"/]*\)\/.*/\1/p' "$file" | LC_ALL=C sort -u); do
        ok=no
        for a in $allowed; do
            case "$a" in "$dir" | "$dir"/*) ok=yes ;; esac
        done
        # A platform's folder is included only from within it.
        if [ "$ok" = yes ] && [ "$dir" = shell ]; then
            for other in $(sed -n 's/^[ \t]*#[ \t]*include[ \t]*"shell\/\([^"/]*\)\/.*/\1/p' "$file"); do
                [ "shell/$other" = "$row" ] || { echo "$file: includes shell/$other, another platform's folder"; status=1; }
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

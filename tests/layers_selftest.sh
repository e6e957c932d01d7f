#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The include check on a made-up tree: what the layers allow passes, and each
# include that reaches above its layer or into another platform's folder is
# named.
# Usage: layers_selftest.sh LAYERS_TEST WORK_DIR
set -u
check=$1
work=$2
rm -rf "$work" && mkdir -p "$work" || exit 1
status=0
fail() { echo "FAIL: $*"; status=1; }

put() {  # put FILE INCLUDE...
    file=$work/tree/$1
    shift
    mkdir -p "${file%/*}"
    : >"$file"
    for inc in "$@"; do printf '#include "%s"\n' "$inc" >>"$file"; done
}
put core/types.h
put raster/fill.cpp core/types.h
put scenes/cube.cpp core/types.h raster/fill.h
put shell/driver.cpp core/types.h scenes/scene.h shell/ptc.h
put platforms/sdl/sdl_platform.cpp shell/platform.h platforms/sdl/audio_clock.h
put platforms/headless/headless_platform.cpp shell/platform.h platforms/headless/headless_platform.h
put platforms/web/web_platform.cpp shell/platform.h platforms/web/web_platform.h
# A platform the table does not name: its own folder, at any depth.
put platforms/new/sub/thing.cpp shell/platform.h platforms/new/thing.h
put render/main.cpp shell/driver.h platforms/headless/headless_platform.h render/outputs.h
put web/zep_web.cpp render/render_options.h platforms/web/web_platform.h

sh "$check" "$work/tree" >"$work/clean.out" 2>&1 || { fail "a tree within its layers is refused"; cat "$work/clean.out"; }

put shell/main.cpp shell/driver.h platforms/sdl/audio_clock.h
put platforms/headless/reach.cpp platforms/sdl/sdl_platform.h
put web/reach.cpp platforms/headless/headless_platform.h
put render/reach.cpp platforms/sdl/sharp_scale.h
put scenes/reach.cpp shell/driver.h
put core/reach.cpp scenes/scene.h
sh "$check" "$work/tree" >"$work/faults.out" 2>&1 && fail "a tree with faults passes"
for file in shell/main.cpp platforms/headless/reach.cpp web/reach.cpp render/reach.cpp scenes/reach.cpp \
            core/reach.cpp; do
    grep -q "^$file: " "$work/faults.out" || fail "$file's include is not named"
done
[ "$(grep -c ': includes' "$work/faults.out")" = 6 ] || { fail "other files are named"; cat "$work/faults.out"; }

[ "$status" = 0 ] && echo "the include check names each include above its layer"
exit "$status"

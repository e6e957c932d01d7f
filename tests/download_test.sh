#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The Linux download as a viewer unpacks it, into a folder whose name has
# spaces. Modes:
#   links WORK TARBALL OBJDUMP
#       one folder zep-VERSION/ with the programs, SDL, data, README and
#       licences, owned by 0 and all of one time; every program and library
#       needs only glibc (no symbol version above GLIBC_2.34), its own SDL
#       (through an $ORIGIN run path) and the loader, never the C++ runtime,
#       libopenmpt, libpng, zlib or a display or sound library; its SDL
#       loads at run time the Wayland and X11 video back ends and the
#       PipeWire, PulseAudio and ALSA sound back ends.
#   frames WORK TARBALL MANIFEST [EMULATOR...]
#       zep-render (under EMULATOR, for another architecture) on the
#       download's own data gives every frame of the manifest.
#   play WORK TARBALL
#       zep through a link, from a read-only folder, plays the download's
#       data; zep-render reports an error it throws; without its data
#       folder zep says so and how to get it back.
#   wayland WORK TARBALL
#       zep in sway's headless Wayland session (tests/wayland_test.sh).
#   sound WORK TARBALL ZEP_MUSIC_WAV
#       zep's music through PipeWire (tests/sound_server_test.sh).
set -u
MODE=$1
WORK=$2
TARBALL=$3
shift 3
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/cli_checks.sh"

NEWEST_GLIBC=2.34
unpacked="$WORK/unpacked here"
mkdir -p "$unpacked"
tar -xzf "$TARBALL" -C "$unpacked" || { fail "cannot unpack $TARBALL"; finish_checks "download $MODE"; }
top=$(find "$unpacked" -mindepth 1 -maxdepth 1)
[ "$(echo "$top" | wc -l)" -eq 1 ] || fail "the download holds more than one folder: $top"

# is_elf FILE: the file is an ELF program or library.
is_elf() {
    [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = "177ELF" ]
}

# check_glibc FILE OBJDUMP: no symbol of FILE needs a glibc newer than
# NEWEST_GLIBC; a failure names the newest symbol and its version.
check_glibc() {
    "$2" -T "$1" | sed -n 's/.*[ (]GLIBC_\([0-9][0-9.]*\)[) ].* \([^ ]*\)$/\1 \2/p' |
        sort -V -k1,1 | tail -n 1 >"$WORK/newest"
    read -r version symbol <"$WORK/newest" || { fail "$1 names no glibc symbol"; return; }
    newest=$(printf '%s\n%s\n' "$version" "$NEWEST_GLIBC" | sort -V | tail -n 1)
    [ "$newest" = "$NEWEST_GLIBC" ] ||
        fail "$1 needs glibc $version for $symbol (at most $NEWEST_GLIBC)"
}

# check_needs FILE OBJDUMP: the shared libraries FILE asks for are glibc's
# and the download's SDL, the latter through run paths inside the folder.
check_needs() {
    "$2" -p "$1" >"$WORK/dynamic"
    for lib in $(awk '$1 == "NEEDED" { print $2 }' "$WORK/dynamic"); do
        case $lib in
            libc.so.6 | libm.so.6 | libdl.so.2 | libpthread.so.0 | librt.so.1 | ld-linux*.so.*) ;;
            libSDL2-2.0.so.0)
                grep -q 'RUNPATH *\$ORIGIN' "$WORK/dynamic" || fail "$1 finds SDL through no \$ORIGIN run path"
                ;;
            *) fail "$1 needs $lib, which a desktop Linux need not have" ;;
        esac
    done
    for path in $(awk '$1 == "RUNPATH" || $1 == "RPATH" { print $2 }' "$WORK/dynamic" | tr ':' ' '); do
        case $path in
            '$ORIGIN' | '$ORIGIN'/*) ;;
            *) fail "$1 looks for libraries in $path, outside the download" ;;
        esac
    done
    # Where this machine can run it, the loader's own view.
    if ldd "$1" >"$WORK/ldd" 2>&1; then
        grep -q 'not found' "$WORK/ldd" && fail "$1: a library is not found: $(cat "$WORK/ldd")"
        sdl=$(sed -n 's/^[[:space:]]*libSDL2-2\.0\.so\.0 => \(.*\) (0x[0-9a-f]*)$/\1/p' "$WORK/ldd")
        case $sdl in
            "" | "$top"/*) ;;
            *) fail "$1 finds SDL outside the download, at $sdl" ;;
        esac
    fi
}

case $MODE in
    links)
        OBJDUMP=$1
        name=$(basename "$top")
        for file in zep zep-render lib/zep lib/libSDL2-2.0.so.0 "data/${ZEP_MODULE:?the module name}" README.txt LICENSE \
            licenses/SDL2.txt licenses/libopenmpt.txt licenses/libpng.txt licenses/zlib.txt \
            licenses/GCC-runtime-exception.txt licenses/GPL-3.txt; do
            [ -s "$top/$file" ] || fail "the download has no $name/$file"
        done
        for program in zep zep-render lib/zep; do
            [ -x "$top/$program" ] || fail "$name/$program is not executable"
        done
        tar -tvzf "$TARBALL" >"$WORK/listing"
        awk '$2 != "0/0" { print }' "$WORK/listing" | grep . && fail "entries not owned by 0/0"
        [ "$(awk '{ print $4, $5 }' "$WORK/listing" | sort -u | wc -l)" -eq 1 ] ||
            fail "the entries have more than one time"
        awk '{ print $6 }' "$WORK/listing" | grep -v "^$name/" && fail "entries outside $name/"
        elves=0
        find "$top" -type f | LC_ALL=C sort >"$WORK/files"
        while read -r file; do
            is_elf "$file" || continue
            elves=$((elves + 1))
            check_glibc "$file" "$OBJDUMP"
            check_needs "$file" "$OBJDUMP"
        done <"$WORK/files"
        [ "$elves" -eq 4 ] || fail "$elves programs and libraries in the download, expected 4"
        # SDL opens each back end's library by its soname when it starts the
        # back end (none is linked, as check_needs saw); a back end left out
        # of the build leaves out its soname.
        sdl="$top/lib/libSDL2-2.0.so.0"
        if [ -s "$sdl" ]; then
            LC_ALL=C tr -c '[:print:]' '\n' <"$sdl" | grep -E '^lib[A-Za-z0-9_.+-]*\.so(\.[0-9]+)*$' | sort -u >"$WORK/sonames"
            for backend in wayland:libwayland-client.so.0 wayland:libxkbcommon.so.0 x11:libX11.so.6 \
                pipewire:libpipewire-0.3.so.0 pulseaudio:libpulse-simple.so.0 alsa:libasound.so.2; do
                grep -qx "${backend#*:}" "$WORK/sonames" ||
                    fail "the download's SDL has no ${backend%%:*} back end (it never loads ${backend#*:})"
            done
        fi
        ;;
    frames)
        MANIFEST=$1
        shift
        "$@" "$top/zep-render" --data "$top/data" --hashes - >"$WORK/hashes" 2>"$WORK/err" ||
            fail "zep-render of the download failed: $(cat "$WORK/err")"
        cmp -s "$MANIFEST" "$WORK/hashes" ||
            fail "the download's frames differ from $MANIFEST: $(diff "$MANIFEST" "$WORK/hashes" | head -n 5)"
        ;;
    play)
        check_plays "$top/zep" "the downloaded zep"
        # An error thrown and caught: the unwinder linked in finds its tables.
        expect 2 "cannot create the folder" -- "$top/zep-render" --data "$top/data" --to 1 --png /dev/null/x
        mv "$top/data" "$top/data.gone"
        expect 1 "unpack the download again" -- "$top/zep"
        grep -qF "cannot open the data folder $top/data" "$WORK/err" ||
            fail "zep did not name its data folder: $(cat "$WORK/err")"
        ;;
    wayland)
        sh "$(dirname "$0")/wayland_test.sh" "$top/zep" "$top/zep-render" "$top/data" "$WORK/wayland"
        exit $?
        ;;
    sound)
        sh "$(dirname "$0")/sound_server_test.sh" pipewire "$top/zep" "$1" "$top/data" \
            "${ZEP_MODULE:?the module name}" "$WORK/sound"
        exit $?
        ;;
    *) fail "unknown mode $MODE" ;;
esac
finish_checks "download $MODE"

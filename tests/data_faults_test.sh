#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# zep-data on bad command lines and failing folders: every failure says what
# is wrong on standard error and ends with its status; no file is written
# through a link, no file is left cut short under its own name, and no
# temporary file stays.
# Usage: data_faults_test.sh ZEP_DATA DATA_DIR WORK_DIR
set -u
ZEP_DATA=$1 DATA=$2 WORK=$3
rm -rf "$WORK" && mkdir -p "$WORK"
. "$(dirname "$0")/cli_checks.sh"

# The folder holds only complete files: each as long as in the default set,
# none under a temporary name.
only_complete() {
    for f in "$1"/*; do
        [ -e "$f" ] || continue
        [ -f "$DATA/${f##*/}" ] || { fail "$2: unexpected $f"; continue; }
        cmp -s "$f" "$DATA/${f##*/}" || fail "$2: ${f##*/} is not the file zep-data makes ($(wc -c <"$f") bytes)"
    done
    hidden=$(ls -A "$1" | grep '^\.' | tr '\n' ' ')
    [ -z "$hidden" ] || fail "$2: temporary files left: $hidden"
}

# The command line: unknown options are refused with the usage, whatever
# they look like; help and version go to standard output, and a failed
# write of them is an error.
cd "$WORK" || exit 1
for option in --bogus --verison -x --help=x; do
    expect 2 "zep-data: unknown option '$option'" -- "$ZEP_DATA" "$option"
    grep -qF "usage: zep-data DIR" "$WORK/err" || fail "$option: no usage: $(cat "$WORK/err")"
    [ ! -e "$WORK/$option" ] || fail "$option was taken for a folder"
done
expect 2 "no folder given" -- "$ZEP_DATA"
expect 2 "more than one folder given" -- "$ZEP_DATA" a b
[ ! -e a ] && [ ! -e b ] || fail "a second folder name made a folder"
"$ZEP_DATA" --help >"$WORK/stdout" 2>"$WORK/err" || fail "--help ended with $?"
grep -qF "usage: zep-data DIR" "$WORK/stdout" || fail "--help did not go to standard output: $(cat "$WORK/stdout")"
[ -s "$WORK/err" ] && fail "--help wrote to standard error: $(cat "$WORK/err")"
expect 2 "cannot write the help text to standard output: No space left on device" -- \
    sh -c 'exec "$0" --help >/dev/full' "$ZEP_DATA"
expect 2 "cannot write the version to standard output: No space left on device" -- \
    sh -c 'exec "$0" --version >/dev/full' "$ZEP_DATA"
expect 2 "cannot write the version to standard output" -- sh -c 'exec "$0" --version >&-' "$ZEP_DATA"
# After "--" a name that begins with "-" is a folder.
"$ZEP_DATA" -- -dashed 2>"$WORK/err" || fail "zep-data -- -dashed failed: $(cat "$WORK/err")"
only_complete "$WORK/-dashed" "-- -dashed"
[ -f "$WORK/-dashed/tex2.raw" ] || fail "zep-data -- -dashed wrote no data"
cd / || exit 1

# A planted link is replaced by the file, never written through.
mkdir -p "$WORK/link"
echo precious >"$WORK/precious.txt"
ln -s ../precious.txt "$WORK/link/tex2.raw"
ln -s /dev/null "$WORK/link/ttx2.raw"
"$ZEP_DATA" "$WORK/link" 2>"$WORK/err" || fail "planted links: zep-data failed: $(cat "$WORK/err")"
[ "$(cat "$WORK/precious.txt")" = precious ] || fail "the file behind a planted link was overwritten"
[ -L "$WORK/link/tex2.raw" ] && fail "the planted link tex2.raw is still there"
only_complete "$WORK/link" "planted links"

# Anything at a file's name that is not a regular file is refused, at once,
# and left as it was.
mkdir -p "$WORK/odd"
mkfifo "$WORK/odd/ttx2.raw"
expect 1 "zep-data: $WORK/odd/ttx2.raw is a named pipe, not a regular file" -- timeout 20 "$ZEP_DATA" "$WORK/odd"
[ -p "$WORK/odd/ttx2.raw" ] || fail "the named pipe was replaced"
# Each in a folder of its own: a run that stopped at one leaves the files it
# wrote before.
rm -rf "$WORK/odd" && mkdir -p "$WORK/odd/tex33.raw"
expect 1 "zep-data: $WORK/odd/tex33.raw is a folder, not a regular file" -- "$ZEP_DATA" "$WORK/odd"
rmdir "$WORK/odd/tex33.raw"
rm -rf "$WORK/odd" && mkdir -p "$WORK/odd"
if mknod "$WORK/odd/apic.raw" c 1 3 2>/dev/null; then
    expect 1 "zep-data: $WORK/odd/apic.raw is a device, not a regular file" -- timeout 20 "$ZEP_DATA" "$WORK/odd"
    rm "$WORK/odd/apic.raw"
fi
only_complete "$WORK/odd" "odd files"
touch "$WORK/plain"
expect 1 "zep-data: $WORK/plain is not a folder" -- "$ZEP_DATA" "$WORK/plain"
expect 1 "zep-data: cannot create the folder $WORK/plain/sub: Not a directory" -- "$ZEP_DATA" "$WORK/plain/sub"

# A full disk and a read-only mount: the system's reason, status 1, and no
# file cut short (a small tmpfs, where a mount namespace of our own allows
# one).
mkdir -p "$WORK/mnt"
if unshare -rm sh -c "mount -t tmpfs -o size=1m tmpfs '$WORK/mnt'" 2>/dev/null; then
    for mount in size=1m ro; do
        unshare -rm sh -c "mount -t tmpfs -o $mount tmpfs '$WORK/mnt' && '$ZEP_DATA' '$WORK/mnt'; echo \"status \$?\"; ls -A '$WORK/mnt'" >"$WORK/stdout" 2>"$WORK/err"
        [ "$(head -n 1 "$WORK/stdout")" = "status 1" ] || fail "zep-data on a tmpfs with $mount: $(cat "$WORK/stdout")"
        grep -q '^\.' "$WORK/stdout" && fail "zep-data on a tmpfs with $mount left a temporary file: $(cat "$WORK/stdout")"
        case $mount in
            ro) want="Read-only file system" ;;
            *) want="No space left on device" ;;
        esac
        grep -qF "zep-data: cannot write $WORK/mnt/" "$WORK/err" && grep -qF ": $want" "$WORK/err" ||
            fail "zep-data on a tmpfs with $mount: $(cat "$WORK/err")"
    done
    # What stays on the full disk is complete.
    unshare -rm sh -c "mount -t tmpfs -o size=1m tmpfs '$WORK/mnt' && '$ZEP_DATA' '$WORK/mnt' 2>/dev/null; for f in '$WORK/mnt'/*; do [ -e \"\$f\" ] || continue; cmp -s \"\$f\" '$DATA'/\"\${f##*/}\" || echo \"\$f\"; done" >"$WORK/stdout"
    [ -s "$WORK/stdout" ] && fail "zep-data on a full disk left files cut short: $(cat "$WORK/stdout")"
else
    echo "note: no tmpfs can be mounted here; a full disk and a read-only mount are not checked"
fi

# A folder that cannot be written into (root writes anywhere: as root the
# check runs as nobody, where nobody can reach the folder).
as_user=""
[ "$(id -u)" -eq 0 ] && as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
mkdir -p "$WORK/locked" && chmod 555 "$WORK/locked"
if $as_user test -x "$WORK/locked" && ! $as_user test -w "$WORK/locked" && $as_user "$ZEP_DATA" --version >/dev/null 2>&1; then
    expect 1 "zep-data: cannot write $WORK/locked/" -- $as_user "$ZEP_DATA" "$WORK/locked"
    grep -q "^zep-data: cannot write $WORK/locked/[^/]*: Permission denied\$" "$WORK/err" ||
        fail "the read-only folder's message is not the file and the system's reason: $(cat "$WORK/err")"
    [ -z "$(ls -A "$WORK/locked")" ] || fail "a read-only folder got files: $(ls -A "$WORK/locked")"
else
    echo "note: no user here is kept out of a folder; the read-only folder is not checked"
fi

# Interrupted: the file being written goes, one line says so, and the
# process ends by the signal (env restores SIGINT, which a background job starts without).
for named in INT:2 TERM:15; do
    rm -rf "$WORK/sig"
    env --default-signal=INT "$ZEP_DATA" "$WORK/sig" 2>"$WORK/err" &
    pid=$!
    sleep 0.3
    kill -s "${named%:*}" $pid
    wait $pid
    status=$?
    if [ "$status" -ne 0 ]; then
        [ "$status" -eq $((128 + ${named#*:})) ] || fail "SIG${named%:*}: status $status"
        [ "$(cat "$WORK/err")" = "zep-data: interrupted; the unfinished file was removed" ] ||
            fail "SIG${named%:*}: $(cat "$WORK/err")"
    fi
    [ -d "$WORK/sig" ] && only_complete "$WORK/sig" "SIG${named%:*}"
done

finish_checks "zep-data fault"

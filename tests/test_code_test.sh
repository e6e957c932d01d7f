#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# What only the tests and the benchmarks use stays out of the shipped
# programs: the fillers' single spans and running a scene on its own
# (zep::test).
# Usage: test_code_test.sh PROGRAM...
set -u
status=0
for program in "$@"; do
    symbols=$(nm -C "$program") || { echo "$program: nm cannot read it"; exit 1; }
    [ -n "$symbols" ] || { echo "$program: no symbols to look through"; exit 1; }
    if printf '%s\n' "$symbols" | grep -E 'Draw(Textured|Shaded)Span|zep::test::'; then
        echo "$program: holds code that only the tests use"
        status=1
    fi
done
[ "$status" = 0 ] && echo "no shipped program holds test-only code"
exit "$status"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# The AVX2 copy of the scenes and fillers (core/code_path.h) must stay
# apart from the code every x86-64 CPU runs: in the linked programs, only
# functions in zep::avx2 or zep::bench::avx2 (or instantiated for their types) may use the 256-bit
# or VEX-encoded instructions, and the copy must really use them. A function
# the two copies share (an inline function or template both instantiate)
# is kept once by the linker; were the AVX2 one kept, a CPU without AVX2
# would stop on it.
# Usage: code_copies_test.sh PROGRAM...
set -u
command -v objdump >/dev/null 2>&1 || { echo "objdump not found"; exit 1; }
status=0
for program in "$@"; do
    report=$(objdump -d --no-show-raw-insn "$program" |
        awk '/^[0-9a-f]+ <.*>:$/ { fn = $2; avx2 = fn ~ /3zep.*4avx2/; next }
             /%ymm/ && avx2 { wide++ }
             /\t\(bad\)/ { next }
             /\tv[a-z0-9]+[ \t]+.*%[xy]mm/ && !avx2 { if (!(fn in seen)) { seen[fn] = 1; print "  " fn ": " $0 } }
             END { if (wide == 0) print "  no 256-bit instruction in the AVX2 copy" }')
    if [ -n "$report" ]; then
        echo "$program:"
        echo "$report"
        status=1
    fi
done
[ $status -eq 0 ] && echo "the AVX2 copy stays apart in $# programs"
exit $status

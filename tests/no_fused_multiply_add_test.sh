#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# Pictures and data depend on every floating-point product being rounded on
# its own. -ffp-contract=off asks for that, but a compiler's vectoriser has
# been seen to fuse products anyway; this lists any fused multiply-add
# instruction in the libraries that compute pictures or data, and checks
# that every copy of the scenes the build holds (core/code_path.h) was
# among the code looked at.
# Usage: no_fused_multiply_add_test.sh "COPY..." LIBRARY...
set -u
command -v objdump >/dev/null 2>&1 || { echo "objdump not found"; exit 1; }
copies=$1
shift
listing=$(for lib in "$@"; do objdump -d --no-show-raw-insn "$lib"; done)
found=$(printf '%s\n' "$listing" |
    awk '/^[0-9a-f]+ <.*>:$/ { fn = $2 }
         /[ \t]vfn?m(add|sub)[a-z0-9]*[ \t]/ { print fn ": " $0 }')
if [ -n "$found" ]; then
    echo "fused multiply-add instructions found:"
    echo "$found"
    exit 1
fi
for copy in $copies; do
    # Its functions' names hold zep::COPY, mangled as 3zep, the length, the name.
    if ! printf '%s\n' "$listing" | grep -q "^[0-9a-f]* <[^>]*3zep${#copy}${copy}[^>]*>:$"; then
        echo "no function of the $copy copy in the libraries"
        exit 1
    fi
done
echo "no fused multiply-add in $# libraries, copies looked at: $copies"

#!/bin/sh
# Pictures and data depend on every floating-point product being rounded on
# its own. -ffp-contract=off asks for that, but a compiler's vectoriser has
# been seen to fuse products anyway; this lists any fused multiply-add
# instruction in the libraries that compute pictures or data.
# Usage: no_fused_multiply_add_test.sh LIBRARY...
set -u
command -v objdump >/dev/null 2>&1 || { echo "objdump not found"; exit 1; }
found=$(for lib in "$@"; do objdump -d --no-show-raw-insn "$lib"; done |
    awk '/^[0-9a-f]+ <.*>:$/ { fn = $2 }
         /[ \t]vfn?m(add|sub)[a-z0-9]*[ \t]/ { print fn ": " $0 }')
if [ -n "$found" ]; then
    echo "fused multiply-add instructions found:"
    echo "$found"
    exit 1
fi
echo "no fused multiply-add in $# libraries"

#!/bin/sh
# Every object compiled for AVX2 (a source under an avx2/ folder) must define no function the
# linker could share with the baseline code: a weak (inline or template) function compiled there
# might be the copy the whole program keeps, and run AVX2 instructions on a CPU without them.
# Usage: avx2-objects-keep-their-code.sh <build dir>
set -eu
found=0
for object in $(find "$1" -path '*/avx2/*.o'); do
    found=1
    shared=$(nm -C --defined-only "$object" | awk '$2 == "W" || $2 == "u" || $2 == "i" { print }')
    if [ -n "$shared" ]; then
        echo "$object defines functions it may share:"
        echo "$shared"
        exit 1
    fi
done
[ "$found" = 1 ] || { echo "no AVX2 objects under $1"; exit 1; }
echo "every AVX2 object keeps its code to itself"

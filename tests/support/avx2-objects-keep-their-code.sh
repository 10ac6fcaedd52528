#!/bin/sh
# An object compiled for AVX2 (a source under an avx2/ folder) must not define a weak function
# that another object of the build defines too, such as an inline function of a shared header:
# the linker keeps one copy for the whole program, and if it kept the AVX2 one, baseline code
# would run AVX2 instructions on a CPU without them.
# Usage: avx2-objects-keep-their-code.sh <build dir>
set -eu
weakOf() { nm --defined-only "$1" 2>/dev/null | awk '$2 == "W" || $2 == "i" { print $3 }'; }
# The objects of the build as it stands (a build tree may keep objects of targets that are gone).
objects() {
    if [ -f "$1/build.ninja" ] && command -v ninja >/dev/null 2>&1; then
        ninja -C "$1" -t targets all | sed -n 's/^\(.*\.o\): .*/\1/p' | while read -r o; do
            if [ -f "$1/$o" ]; then echo "$1/$o"; fi
        done
    else
        find "$1" -name '*.o'
    fi
}

all=$(objects "$1")
avx2=$(echo "$all" | grep '/avx2/' || true)
[ -n "$avx2" ] || { echo "no AVX2 objects under $1"; exit 1; }
ours=$(mktemp)
trap 'rm -f "$ours"' EXIT
for o in $avx2; do weakOf "$o"; done | sort -u > "$ours"

shared=$(echo "$all" | grep -v '/avx2/' | while read -r o; do weakOf "$o"; done | sort -u | comm -12 - "$ours")
if [ -n "$shared" ]; then
    echo "AVX2 objects share these functions with other objects:"
    echo "$shared" | c++filt
    exit 1
fi
echo "the AVX2 objects ($(wc -l < "$ours") weak functions) share no function with the rest of the build"

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a given time, one after the other:
#   VinolaStateFuzzer      any bytes as a saved state, then a block of audio and a state round trip
#   MvAssetArchiveFuzzer   any bytes as the asset archive, then requests for real and arbitrary names
#
# Usage: tools/fuzz.sh [seconds per fuzzer (default 60)] [fuzzer name ...]
# Everything stays under the build directory (default build-fuzz/, or $VINOLA_FUZZ_BUILD_DIR),
# which git ignores: the corpora in corpus/<fuzzer>/ grow from run to run, and an input that
# crashes a fuzzer is kept in crashes/<fuzzer>/ (rerun it with: build-fuzz/<fuzzer> <file>).
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${1:-60}
[ $# -gt 0 ] && shift
FUZZERS=("$@")
[ ${#FUZZERS[@]} -gt 0 ] || FUZZERS=(VinolaStateFuzzer MvAssetArchiveFuzzer)
BUILD_DIR=${VINOLA_FUZZ_BUILD_DIR:-build-fuzz}

# clang and its libFuzzer runtime, with the packages the ordinary build needs (tools/install.sh).
PACKAGES=(clang libclang-rt-14-dev)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

export CCACHE_SLOPPINESS=time_macros
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/vinola-ccache}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVINOLA_FUZZERS=ON -DVINOLA_BUILD_TESTS=OFF -DVINOLA_BUILD_BENCH=OFF
fi
cmake --build "$BUILD_DIR" --parallel "${VINOLA_FUZZ_JOBS:-3}" --target "${FUZZERS[@]}"

u32 () { printf "\\x%02x\\x%02x\\x%02x\\x%02x" $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
name64 () { printf '%s' "$1"; head -c $((64 - ${#1})) /dev/zero; }

for fuzzer in "${FUZZERS[@]}"; do
    corpus="$BUILD_DIR/corpus/$fuzzer"
    crashes="$BUILD_DIR/crashes/$fuzzer"
    mkdir -p "$corpus" "$crashes"
    # First seeds: a state of 60 bytes, and a small archive of two entries.
    if [ -z "$(ls -A "$corpus")" ]; then
        case "$fuzzer" in
            VinolaStateFuzzer)
                { for _ in $(seq 13); do u32 1056964608; done; u32 1; u32 0; } > "$corpus/seed-state"   # 0.5s, mode 1, WOBBLE 0
                ;;
            MvAssetArchiveFuzzer)
                { printf 'ravm'; u32 2; head -c 24 /dev/zero; name64 "Inter-Light-BETA.ttf"; name64 "vinola_btn_zoom.png"
                  u32 176; u32 180; u32 4; u32 3; printf 'abcdxyz'; } > "$corpus/seed-archive"
                ;;
        esac
    fi
    echo "== $fuzzer for ${SECONDS_EACH}s (corpus $corpus)"
    "$BUILD_DIR/$fuzzer" -max_total_time="$SECONDS_EACH" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus"
done

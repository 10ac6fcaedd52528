#!/usr/bin/env bash
# Builds what is out of date and runs every test with ctest, under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${VINOLA_BUILD_DIR:-build}
export CCACHE_SLOPPINESS=time_macros
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/vinola-ccache}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)" "$@"

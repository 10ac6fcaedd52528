#!/usr/bin/env bash
# Installs every Debian package the build needs, builds the plug-in and its tests, and installs
# the plug-in for the current user (VST3 in ~/.vst3, LV2 in ~/.lv2, the Standalone app in
# ~/.local/bin) and the asset archive machine-wide (/opt/Marvolund/Vinola/appdata).
# Safe to run again: every step is idempotent.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(build-essential cmake ninja-build pkg-config ccache
          juce-modules-source libasound2-dev libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
          libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxcursor-dev libxrender-dev
          libgtest-dev libbenchmark-dev fontconfig-config fonts-dejavu-core fonts-inter
          xvfb xauth xdotool lilv-utils
          jalv jackd2)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=${VINOLA_BUILD_DIR:-build}
export CCACHE_SLOPPINESS=time_macros
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/vinola-ccache}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

ART="$BUILD_DIR/Vinola_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.local/bin"
rm -rf "$HOME/.vst3/Vinola.vst3" "$HOME/.lv2/Vinola.lv2"
cp -R "$ART/VST3/Vinola.vst3" "$HOME/.vst3/"
cp -R "$ART/LV2/Vinola.lv2" "$HOME/.lv2/"
cp "$ART/Standalone/Vinola" "$HOME/.local/bin/Vinola"

$SUDO mkdir -p /opt/Marvolund/Vinola/appdata
$SUDO cp "$BUILD_DIR/assets/Assets.mva" /opt/Marvolund/Vinola/appdata/Assets.mva
echo "Vinola installed: $HOME/.vst3/Vinola.vst3, $HOME/.lv2/Vinola.lv2, $HOME/.local/bin/Vinola,"
echo "                  /opt/Marvolund/Vinola/appdata/Assets.mva"

#!/usr/bin/env bash
# Installs what is missing, builds Aurelin, installs the VST3 into ~/.vst3 and runs
# the demo through our own headless host. Works as root and as a user with sudo.
#
#   ./build.sh              everything, ending with the demo
#   AURELIN_SKIP_DEMO=1 ./build.sh   the same without the demo (used by ./test.sh)
set -euo pipefail
cd "$(dirname "$0")"

# A compiler cache, where there is one, is shared between checkouts of the project.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

BUILD_DIR=${AURELIN_BUILD_DIR:-build}
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(cmake ninja-build g++ pkg-config juce-modules-source juce-tools
          libgtest-dev libbenchmark-dev python3 xvfb fonts-dejavu-core fontconfig)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm fetches the Inter fonts; a Node.js that brings its own npm is just as good.
if ! command -v npm >/dev/null 2>&1; then missing+=(npm); fi
if command -v ccache >/dev/null 2>&1; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); else LAUNCHER=(); fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

echo "== building (${BUILD_DIR})"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD_DIR"

BUNDLE="$BUILD_DIR/Aurelin_artefacts/Release/VST3/Aurelin.vst3"
mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/Aurelin.vst3"
cp -r "$BUNDLE" "$HOME/.vst3/"
echo "== installed $HOME/.vst3/Aurelin.vst3"

if [ "${AURELIN_SKIP_DEMO:-0}" = "1" ]; then exit 0; fi

HOST="$BUILD_DIR/tools/aurelin-host"
PUBLISH="$BUILD_DIR/tools/aurelin-publish"
PHRASE=(--note 60@0+9000 --note 61@12000+9000 --note 65@24000+9000 --note 66@36000+9000 --note 70@48000+9000)

echo
echo "== what a DAW sees"
"$HOST" info "$HOME/.vst3/Aurelin.vst3"
echo
echo "== a phrase in C diatonic (Corrective)"
"$PUBLISH" scale C diatonic
"$HOST" play "$HOME/.vst3/Aurelin.vst3" "${PHRASE[@]}"
echo
echo "== the publisher moves every instance to D diatonic; the same phrase again"
"$PUBLISH" scale D diatonic
"$HOST" play "$HOME/.vst3/Aurelin.vst3" "${PHRASE[@]}"
"$PUBLISH" scale C diatonic >/dev/null

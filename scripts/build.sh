#!/usr/bin/env bash
# Builds the plug-in bundles (VST3, LV2, Standalone) in build/ and says where they are.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM70_BUILD_TESTS=OFF
cmake --build build -j "$(nproc)"

artefacts="$PWD/build/QM70_artefacts/Release"
echo
echo "Bundles:"
echo "  VST3:       $artefacts/VST3/QM-70.vst3"
echo "  LV2:        $artefacts/LV2/QM-70.lv2"
echo "  Standalone: $artefacts/Standalone/QM-70"

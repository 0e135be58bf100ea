#!/usr/bin/env bash
# Builds the tests (with the VST3 and LV2 bundles the host tests load) in build-tests/ and runs
# them all, then validates the LV2 bundle.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM70_FORMATS="VST3;LV2" -DQM70_BUILD_TESTS=ON
cmake --build build-tests -j "$jobs"

# Editors and dialogs get a virtual display of their own.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-tests -j "$jobs" --output-on-failure
./scripts/test-tsan.sh

./scripts/check-lv2.sh build-tests/QM70_artefacts/Release/LV2/QM-70.lv2

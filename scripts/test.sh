#!/usr/bin/env bash
# Builds and runs every test: the unit, real-time and host tests (with the VST3 and LV2 bundles the
# host tests load) in build-tests/, the LV2 bundle's validation, then the concurrency tests under
# ThreadSanitizer and the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
jobs=$(nproc)
started=$SECONDS
stage() { echo; echo "=== $1 (at $((SECONDS - started)) s)"; }

stage "build"
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM70_FORMATS="VST3;LV2" -DQM70_BUILD_TESTS=ON
cmake --build build-tests -j "$jobs"

# Editors and dialogs get a virtual display of their own.
stage "tests"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-tests -j "$jobs" --output-on-failure --no-tests=error

stage "LV2 bundle"
./scripts/check-lv2.sh build-tests/QM70_artefacts/Release/LV2/QM-70.lv2

stage "ThreadSanitizer"
./scripts/test-tsan.sh

stage "AddressSanitizer and UndefinedBehaviorSanitizer"
./scripts/test-asan.sh

stage "all passed"

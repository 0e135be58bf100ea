#!/usr/bin/env bash
# Redraws resources/editor.png, the README's picture of the editor, with the very test that compares
# the editor against it.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM70_FORMATS="VST3;LV2" -DQM70_BUILD_TESTS=ON
cmake --build build-tests -j "$(nproc)" --target qm70_tests
QM70_WRITE_PICTURE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ./scripts/with-temp-home.sh build-tests/tests/qm70_tests --gtest_filter='EditorPicture.*'

#!/usr/bin/env bash
# Builds the whole test suite (the host tests with their bundles included) with AddressSanitizer
# and UndefinedBehaviorSanitizer in build-asan/ and runs it. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${QM70_JOBS:-$(nproc)}

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM70_SANITIZER=address,undefined \
      -DQM70_FORMATS="VST3;LV2" -DQM70_BUILD_TESTS=ON
cmake --build build-asan -j "$jobs"

# allocator_may_return_null: a sample too big for memory must be a failed load, not an abort.
export ASAN_OPTIONS="halt_on_error=1 detect_leaks=1 allocator_may_return_null=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1 ${UBSAN_OPTIONS:-}"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-asan -j "$jobs" --output-on-failure --no-tests=error

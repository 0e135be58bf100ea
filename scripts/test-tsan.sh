#!/usr/bin/env bash
# Builds the tests that run threads against each other with ThreadSanitizer in build-tsan/ and runs
# them. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${QM70_JOBS:-$(nproc)}

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM70_SANITIZER=thread \
      -DQM70_FORMATS=VST3 -DQM70_BUILD_TESTS=ON
cmake --build build-tsan -j "$jobs" --target qm70_concurrency_tests

# halt_on_error ends the test at its first report, with an exit code CTest counts as a failure.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-tsan -L concurrency -j "$jobs" --output-on-failure --no-tests=error

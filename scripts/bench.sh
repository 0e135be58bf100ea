#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (Release) and runs them all, side by side in one run.
# Extra arguments go to Google Benchmark, e.g. --benchmark_filter=Render.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM70_FORMATS=VST3 \
      -DQM70_BUILD_TESTS=OFF -DQM70_BUILD_BENCHMARKS=ON
cmake --build build-bench -j "$(nproc)" --target qm70_bench
exec ./scripts/with-temp-home.sh build-bench/bench/qm70_bench --benchmark_repetitions=3 \
     --benchmark_report_aggregates_only=true "$@"

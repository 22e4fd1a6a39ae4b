#!/usr/bin/env bash
# Builds the benchmark program and runs it: each operation at the full store of 2,000,000
# samples against its naive form in the same run, then one table of the figures and targets.
# Arguments go to Google Benchmark, for example --benchmark_filter=Gesamtkurve.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target ladomat-bench ladomat-bench-program
build/bench/ladomat-bench "$@"

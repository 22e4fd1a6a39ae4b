#!/usr/bin/env bash
# Builds the program and the simulator and runs scripts/flat-check.py: the real program's processor
# time per frame at 1,000 samples and as its record fills to 2,000,000, each copy under its own
# Xvfb. --log opens the charge log in both copies. Takes about ten minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target ladomat-link ladomat-sim
python3 scripts/flat-check.py build/ladomat-link build/sim/ladomat-sim "$@"

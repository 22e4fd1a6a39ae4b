#!/usr/bin/env bash
# Screenshots for the README: the program against the simulator under a virtual display, after a
# recorded NiMH charge: docs/hauptfenster.png (main window), docs/gesamtkurve.png (whole-record
# view), docs/protokoll.png (charge log). QT_SCALE_FACTOR=2 in the environment gives them at twice
# the resolution.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target ladomat-screenshots ladomat-sim

folder=${1:-docs}
mkdir -p "$folder"
source scripts/simulator.sh
start_simulator --scenario nimh-charge --speed 40

echo "Recording the simulated charge (about a minute) ..."
LANG=de_DE.UTF-8 LADOMAT_COM1="$pty" xvfb-run -a -s "-screen 0 1280x1024x24" ./build/ladomat-screenshots "$folder"
ls -l "$folder"/hauptfenster.png "$folder"/gesamtkurve.png "$folder"/protokoll.png

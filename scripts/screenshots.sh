#!/usr/bin/env bash
# Screenshots for the README: the program against the simulator under a virtual display, after a
# recorded NiMH charge: docs/hauptfenster.png (main window), docs/gesamtkurve.png (whole-record
# view), docs/protokoll.png (charge log); then, with a discharge->charge and a charge->discharge
# recorded before it in a journal of its own, docs/aufzeichnungsbuch.png (record book),
# docs/aufzeichnung.png (record window) and docs/vergleich.png (the three compared). QT_SCALE_FACTOR=2 in the environment gives them at twice
# the resolution.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target ladomat-screenshots ladomat-sim

folder=${1:-docs}
mkdir -p "$folder"
source scripts/simulator.sh
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME LANG=de_DE.UTF-8
shoot() { LADOMAT_COM1="$pty" xvfb-run -a -s "-screen 0 1280x1024x24" ./build/ladomat-screenshots "$@"; }

echo "Recording a discharge->charge and a charge->discharge (about half a minute) ..."
for scenario in discharge-charge charge-discharge; do
  start_simulator --scenario "$scenario" --speed 200
  shoot --record-only
  kill "$sim"
done
start_simulator --scenario nimh-charge --speed 40
echo "Recording the simulated charge (about a minute) ..."
shoot "$folder"
rm -rf "$XDG_DATA_HOME"
ls -l "$folder"/{hauptfenster,gesamtkurve,protokoll,aufzeichnungsbuch,aufzeichnung,vergleich}.png

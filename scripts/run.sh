#!/usr/bin/env bash
# Builds the program and runs it against the charger simulator on a pseudo-terminal.
# Arguments go to the simulator (default: --scenario nimh-charge --speed 10 --loop).
# Without a display it runs under xvfb-run and writes a screenshot to ladomat-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target ladomat-link ladomat-sim

[ $# -gt 0 ] || set -- --scenario nimh-charge --speed 10 --loop
source scripts/simulator.sh
start_simulator "$@"
echo "Simulator on $pty (COM1)"
export LADOMAT_COM1="$pty"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  ./build/ladomat-link
else
  shot="$PWD/ladomat-screenshot.png"
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    ./build/ladomat-link & app=$!
    sleep "${LADOMAT_SHOT_AFTER:-12}"
    import -window root "$0"
    kill $app' "$shot"
  echo "No display here: ran under xvfb-run and wrote a screenshot to $shot"
fi

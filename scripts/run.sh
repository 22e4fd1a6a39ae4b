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
work=$(mktemp -d)
./build/sim/ladomat-sim "$@" >"$work/sim.out" 2>"$work/sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q '^PTY ' "$work/sim.out" && break; sleep 0.1; done
pty=$(sed -n 's/^PTY //p' "$work/sim.out")
[ -n "$pty" ] || { echo "The simulator did not start:"; cat "$work/sim.log"; exit 1; }
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

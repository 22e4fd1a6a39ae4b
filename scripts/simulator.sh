# Sourced by the scripts that show the program: starts ladomat-sim with the given arguments in
# the background, stops it when the script ends, and sets $pty to the pseudo-terminal it announces.
start_simulator() {
  work=$(mktemp -d)
  ./build/sim/ladomat-sim "$@" >"$work/sim.out" 2>"$work/sim.log" &
  sim=$!
  trap 'kill $sim 2>/dev/null || true; rm -rf "$work"' EXIT
  for _ in $(seq 50); do grep -q '^PTY ' "$work/sim.out" && break; sleep 0.1; done
  pty=$(sed -n 's/^PTY //p' "$work/sim.out")
  [ -n "$pty" ] || { echo "The simulator did not start:"; cat "$work/sim.log"; exit 1; }
}

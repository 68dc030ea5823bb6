#!/usr/bin/env bash
# kline-end-to-end.sh ECU_SIM RUNNER SCRIPT: serves the demo vehicle with the ECU
# simulator on a new pseudo-terminal, runs the script over the K-line link to
# it in real time, and passes when every expectation held and the simulator
# logged the exchanges.
set -uo pipefail
sim=$1 runner=$2 script=$3
log=$(mktemp)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -f "$log"' EXIT
"$sim" --kline pty > "$log" 2>&1 &
pid=$!
for _ in $(seq 50); do
  grep -q '^pty ' "$log" && break
  sleep 0.1
done
port=$(awk '/^pty /{print $2; exit}' "$log")
if [ -z "$port" ]; then
  echo "the ECU simulator gave no pseudo-terminal:"; cat "$log"; exit 1
fi
timeout 120 "$runner" --link "kline:$port" "$script"
status=$?
echo "--- ECU simulator:"; cat "$log"
if [ "$status" -ne 0 ]; then echo "the script failed over kline:$port (exit status $status)"; exit 1; fi
if ! grep -q 'EngineControl -> 83 F1 11 C1 EF 8F C4' "$log"; then echo "the simulator saw no start of communication"; exit 1; fi
echo "K-line end to end ok"

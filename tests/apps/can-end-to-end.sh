#!/usr/bin/env bash
# can-end-to-end.sh ECU_SIM RUNNER SCRIPT: serves the demo vehicle with the ECU
# simulator on a virtual CAN bus of its own (a local port nobody listens on; the
# simulator, started first, carries it), runs the script over the CAN link in real time, and passes when
# every expectation held. Where the virtual bus cannot start, says so and is
# skipped (77).
set -uo pipefail
. "$(dirname "$0")/can-sim.sh"
sim=$1 runner=$2 script=$3
log=$(mktemp)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 20); do
  port=$((20000 + RANDOM % 40000))
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
done
bus=can:virtualcan:tcp://127.0.0.1:$port/can0
start_can_sim "$log" "CAN end-to-end run" "$sim" --can "$bus"
timeout 120 "$runner" --link "$bus" "$script"
status=$?
echo "--- ECU simulator:"; cat "$log"
if [ "$status" -ne 0 ]; then echo "the script failed over $bus (exit status $status)"; exit 1; fi
echo "CAN end to end ok"

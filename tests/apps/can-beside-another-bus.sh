#!/usr/bin/env bash
# can-beside-another-bus.sh ECU_SIM RUNNER SCRIPT: another program serves the
# demo vehicle on the virtual bus's default port, refusing every request of
# EngineControl; the script over can:loopback must meet none of its answers.
# Where the virtual bus cannot start, says so and is skipped (77).
set -uo pipefail
. "$(dirname "$0")/can-sim.sh"
sim=$1 runner=$2 script=$3
log=$(mktemp)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -f "$log"' EXIT
faults=()
for request in OutputControl OutputControl.Stop OutputControl.Status StartDiagnosticSession TesterPresent.WithResponse \
               ReadData.FuelSystem ReadData.Cooling ReadData.Air; do
  faults+=(--fault "negative EngineControl $request 0x22 always")
done
start_can_sim "$log" "run beside another bus" "$sim" --can can:virtualcan:can1 "${faults[@]}"
timeout 120 "$runner" --link can:loopback "$script"
status=$?
if grep -q ' <- ' "$log"; then echo "the other program's ECUs saw our requests:"; grep ' <- ' "$log" | head -5; exit 1; fi
if [ "$status" -ne 0 ]; then echo "the script failed over can:loopback beside another bus (exit status $status)"; exit 1; fi
echo "CAN beside another bus ok"

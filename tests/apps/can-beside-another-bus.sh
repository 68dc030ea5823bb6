#!/usr/bin/env bash
# can-beside-another-bus.sh ECU_SIM RUNNER SCRIPT: another program serves the
# demo vehicle on the virtual bus's default port, refusing every request of
# EngineControl; the script over can:loopback must meet none of its answers.
# Where the virtual bus cannot start, says so and is skipped (77).
set -uo pipefail
sim=$1 runner=$2 script=$3
log=$(mktemp)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -f "$log"' EXIT
faults=()
for request in OutputControl OutputControl.Stop OutputControl.Status StartDiagnosticSession TesterPresent.WithResponse \
               ReadData.FuelSystem ReadData.Cooling ReadData.Air; do
  faults+=(--fault "negative EngineControl $request 0x22 always")
done
"$sim" --can can:virtualcan:can1 "${faults[@]}" > "$log" 2>&1 &
pid=$!
for _ in $(seq 50); do
  grep -q '^can ready' "$log" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q '^can ready' "$log"; then
  echo "virtualcan cannot start here, run beside another bus skipped:"; cat "$log"; exit 77
fi
timeout 120 "$runner" --link can:loopback "$script"
status=$?
if grep -q ' <- ' "$log"; then echo "the other program's ECUs saw our requests:"; grep ' <- ' "$log" | head -5; exit 1; fi
if [ "$status" -ne 0 ]; then echo "the script failed over can:loopback beside another bus (exit status $status)"; exit 1; fi
echo "CAN beside another bus ok"

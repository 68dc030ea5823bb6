#!/usr/bin/env bash
# elm-end-to-end.sh ECU_SIM RUNNER VEHICLE_INFO SCRIPT: serves the demo vehicle
# behind an emulated ELM327 adapter (then an STN one) on a new pseudo-terminal
# in one process, runs the script over elm:PTY from another in real time, and
# passes when every expectation held and the adapter logged the exchanges. Then
# an adapter that answers NO DATA to everything: the adapter check still says
# what it is, and the ping says the ECUs do not answer.
set -uo pipefail
sim=$1 runner=$2 info=$3 script=$4
log=$(mktemp)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -f "$log"' EXIT

start() {
  : > "$log"
  "$sim" --elm pty "$@" > "$log" 2>&1 &
  pid=$!
  for _ in $(seq 50); do
    grep -q '^pty ' "$log" && break
    sleep 0.1
  done
  port=$(awk '/^pty /{print $2; exit}' "$log")
  if [ -z "$port" ]; then echo "the ECU simulator gave no pseudo-terminal:"; cat "$log"; exit 1; fi
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null; pid=; }

for chip in "" --stn; do
  start $chip
  timeout 120 "$runner" --link "elm:$port" "$script"
  status=$?
  stop
  echo "--- adapter ($chip):"; tail -n 5 "$log"
  if [ "$status" -ne 0 ]; then echo "the script failed over elm:$port $chip (exit status $status)"; exit 1; fi
  grep -q 'elm <- ATZ' "$log" || { echo "the adapter was never reset"; exit 1; }
  grep -q 'elm <- ATSH7E0' "$log" || { echo "no header was set for EngineControl"; exit 1; }
done

start --fault "elm NO DATA always"
ping=$(timeout 60 "$info" --ping --link "elm:$port")
status=$?
stop
echo "--- ping through an adapter that hears nothing:"; echo "$ping"
[ "$status" -eq 1 ] || { echo "the ping said the ECUs answer (exit status $status)"; exit 1; }
grep -q '^adapter: ELM327 v1.5' <<< "$ping" || { echo "the adapter check did not name the adapter"; exit 1; }
grep -q '0 of 6 ECUs answer' <<< "$ping" || { echo "the ping did not say that no ECU answers"; exit 1; }
echo "ELM end to end ok"

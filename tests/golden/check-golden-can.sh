#!/usr/bin/env bash
# check-golden-can.sh RUNNER VEHICLE_INFO SCRIPT: the scenario over the CAN link
# to the simulated vehicle on the virtual CAN bus gives the checked-in run log,
# apart from the frame texts (CAN shows the service bytes alone, the K-line its
# whole frames). Where the virtual bus cannot start, says so and is skipped (77).
set -uo pipefail
runner=$1 info=$2 script=$3 expected=${3%.ioc}.out
probe=$("$info" --ping --link can:loopback 2>&1)
if grep -q "error 0x1011" <<< "$probe"; then
  echo "virtualcan cannot start here, CAN golden run skipped:"
  grep "error 0x1011" <<< "$probe" | head -1
  exit 77
fi
mask() { sed -E 's/\b[0-9A-F]{2}( [0-9A-F]{2})*\b/<bytes>/g'; }
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$runner" --link can:loopback "$script" > "$actual" 2> /dev/null
status=$?
if ! diff -u <(mask < "$expected") <(mask < "$actual"); then
  echo "output of $(basename "$script") over CAN differs from $(basename "$expected") beyond frame texts (exit status $status)"
  exit 1
fi
exit $status

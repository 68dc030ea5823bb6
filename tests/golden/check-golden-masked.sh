#!/usr/bin/env bash
# check-golden-masked.sh RUNNER VEHICLE_INFO SCRIPT LINK: the scenario over a
# link whose frames read differently (CAN and the adapters show the service
# bytes alone, the K-line its whole frames) gives the checked-in run log apart
# from the frame texts. Where the link cannot start here (the virtual CAN bus),
# says so and is skipped (77).
set -uo pipefail
runner=$1 info=$2 script=$3 link=$4 expected=${GOLDEN_EXPECTED:-${3%.ioc}.out}
probe=$("$info" --ping --link "$link" 2>&1)
if grep -q "error 0x1011" <<< "$probe"; then
  echo "$link cannot start here, golden run skipped:"
  grep "error 0x1011" <<< "$probe" | head -1
  exit 77
fi
mask() { sed -E 's/\b[0-9A-F]{2}( [0-9A-F]{2})*\b/<bytes>/g'; }
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$runner" --link "$link" "$script" > "$actual" 2> /dev/null
status=$?
if ! diff -u <(mask < "$expected") <(mask < "$actual"); then
  echo "output of $(basename "$script") over $link differs from $(basename "$expected") beyond frame texts (exit status $status)"
  exit 1
fi
exit $status

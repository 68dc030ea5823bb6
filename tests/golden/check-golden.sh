#!/usr/bin/env bash
# Runs a scenario and compares everything it prints with the checked-in output.
# Further arguments go to the runner (e.g. --link kline:loopback: the same run
# log must come over a real pseudo-terminal).
set -uo pipefail
runner=$1 script=$2 expected=${GOLDEN_EXPECTED:-${2%.ioc}.out}
shift 2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$runner" "$@" "$script" > "$actual" 2> /dev/null
status=$?
if ! diff -u "$expected" "$actual"; then
  echo "output of $(basename "$script") differs from $(basename "$expected") (exit status $status)"
  exit 1
fi
exit $status

#!/usr/bin/env bash
# signal-after-shown-run.sh RUNNER SCRIPT: a run shown in a window stays open
# after the script's end; SIGTERM then closes it (exit status 143), it does not
# wait for a window that nobody may see.
set -uo pipefail
runner=$1 script=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$runner" --show "$script" > "$out" 2>&1 &
pid=$!
# The script has ended once its summary line is printed; give it up to a minute.
for _ in $(seq 600); do
  grep -q "^> expect errors" "$out" && break
  sleep 0.1
done
sleep 0.2
kill -TERM "$pid"
for _ in $(seq 100); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then
  kill -KILL "$pid"
  echo "FAILED: still running 10 s after SIGTERM"; cat "$out"; exit 1
fi
wait "$pid"; status=$?
cat "$out"
[ "$status" -eq 143 ] || { echo "FAILED: exit status $status, wanted 143"; exit 1; }
grep -q "stopping a driven device and closing" "$out" || { echo "FAILED: no word of the signal"; exit 1; }

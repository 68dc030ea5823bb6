#!/usr/bin/env bash
# expect.sh STATUS TEXT COMMAND...: runs the command (60 s at most) and passes
# when it exits with STATUS and its output (standard output and error) holds TEXT.
set -uo pipefail
want=$1 text=$2
shift 2
out=$(timeout 60 "$@" 2>&1)
status=$?
echo "$out"
if [ "$status" -ne "$want" ]; then
  echo "expected exit status $want, got $status"
  exit 1
fi
if ! grep -qF -- "$text" <<< "$out"; then
  echo "expected the output to hold: $text"
  exit 1
fi

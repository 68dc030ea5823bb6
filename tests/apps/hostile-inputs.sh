#!/usr/bin/env bash
# hostile-inputs.sh VEHICLE_INFO RUNNER DATA_DIR SCRIPT: a FIFO, a directory and a
# device given where a vehicle, language or script file belongs, and a vehicle
# file of 100,000 attributes on one element, are refused at once with the reason
# and exit status 2; nothing waits on the FIFO, nothing crawls.
set -uo pipefail
info=$1 runner=$2 data=$3 script=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkfifo "$work/fifo"
# An install folder whose language file is a FIFO.
cp -r "$data" "$work/install"
rm -f "$work/install/lang/ioctl.xml"
mkfifo "$work/install/lang/ioctl.xml"
failed=0
check() {  # WHAT EXPECTED-TEXT COMMAND...
  local what=$1 expected=$2; shift 2
  local out status
  out=$(timeout 20 "$@" 2>&1); status=$?
  if [ "$status" -ne 2 ] || ! grep -q "$expected" <<< "$out"; then
    echo "FAILED: $what (exit status $status, wanted 2 and '$expected'):"; echo "$out" | tail -3; failed=1
  else
    echo "ok: $what"
  fi
}
check "vehicle-info on a FIFO" "a FIFO (named pipe), not a file" "$info" "$work/fifo"
check "vehicle-info on a directory" "a directory, not a file" "$info" "$work"
check "vehicle-info on a device" "a device, not a file" "$info" /dev/null
check "ioctl-script on a FIFO" "cannot read the script: a FIFO" "$runner" "$work/fifo"
check "ioctl-script on a directory" "cannot read the script: a directory" "$runner" "$work"
seq 100000 | awk 'BEGIN { printf "<?xml version=\"1.0\"?>\n<vehicle name=\"x\"" }
                  { printf " a%d=\"x\"", $1 } END { printf ">\n</vehicle>\n" }' > "$work/crowded.xml"
check "vehicle-info on 100,000 attributes" "an element with more than 1000 attributes" "$info" "$work/crowded.xml"
check "ioctl-script with a FIFO as language file" "a FIFO (named pipe), not a file" "$runner" --install "$work/install" "$script"
exit $failed

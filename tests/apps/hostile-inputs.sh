#!/usr/bin/env bash
# hostile-inputs.sh VEHICLE_INFO RUNNER DEMO ECU_SIM DATA_DIR SCRIPT: generated
# hostile input through every program: a FIFO, a directory and a device where a
# vehicle, language or script file belongs, a vehicle file of 100,000 attributes
# on one element, one nested 100,000 deep, numbers too large for any field, and
# connection strings with bad options. Each must be refused within 20 s with
# exit status 2, the program's name and the reason; nothing waits on a FIFO,
# nothing crawls, nothing crashes.
set -uo pipefail
info=$1 runner=$2 demo=$3 sim=$4 data=$5 script=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkfifo "$work/fifo"
mkdir "$work/folder"
# An install folder whose language file is a FIFO.
cp -r "$data" "$work/install"
rm -f "$work/install/lang/ioctl.xml"
mkfifo "$work/install/lang/ioctl.xml"
seq 100000 | awk 'BEGIN { printf "<?xml version=\"1.0\"?>\n<vehicle name=\"x\"" }
                  { printf " a%d=\"x\"", $1 } END { printf ">\n</vehicle>\n" }' > "$work/crowded.xml"
awk 'BEGIN { printf "<vehicle name=\"x\">"; for (i = 0; i < 100000; ++i) printf "<ecu>";
             for (i = 0; i < 100000; ++i) printf "</ecu>"; print "</vehicle>" }' > "$work/deep.xml"
sed 's/baud="10400"/baud="99999999999999999999999"/' "$data/vehicles/demo.xml" > "$work/huge-number.xml"
printf 'init en\nsize 99999999999999999999 10\n' > "$work/huge-size.ioc"
failed=0
check() {  # WHAT EXPECTED-TEXT COMMAND...
  local what=$1 expected=$2; shift 2
  local out status
  out=$(timeout 20 "$@" 2>&1 < /dev/null); status=$?
  local program=${1##*/}
  if [ "$status" -ne 2 ] || ! grep -qF -- "$expected" <<< "$out" || ! grep -qF -- "$program" <<< "$out"; then
    echo "FAILED: $what (exit status $status, wanted 2, '$program' and '$expected'):"; echo "$out" | tail -3; failed=1
  else
    echo "ok: $what"
  fi
}
script_on() {  # a script that opens VEHICLE
  printf 'vehicle %s\ninit en\n' "$1" > "$work/on-vehicle.ioc"; echo "$work/on-vehicle.ioc"
}
declare -A vehicles=(
  [FIFO]="$work/fifo|a FIFO (named pipe), not a file"
  [directory]="$work/folder|a directory, not a file"
  [device]="/dev/null|a device, not a file"
  ["100,000 attributes"]="$work/crowded.xml|an element with more than 1000 attributes"
  ["100,000 levels deep"]="$work/deep.xml|deep.xml"
  ["a number too large"]="$work/huge-number.xml|out of range"
)
for kind in "${!vehicles[@]}"; do
  file=${vehicles[$kind]%%|*} reason=${vehicles[$kind]#*|}
  check "vehicle-info on a vehicle file: $kind" "$reason" "$info" "$file"
  check "vehicle-info --check on a vehicle file: $kind" "$reason" "$info" --check "$file"
  check "ioctl-script on a vehicle file: $kind" "$reason" "$runner" "$(script_on "$file")"
  check "tavrin-demo on a vehicle file: $kind" "$reason" "$demo" --latency 0 --vehicle "$file" --screenshot "$work/x.png"
  check "tavrin-ecu-sim on a vehicle file: $kind" "$reason" "$sim" --kline pty --vehicle "$file"
done
for kind in FIFO directory device; do
  file=${vehicles[$kind]%%|*} reason=${vehicles[$kind]#*|}
  check "ioctl-script on a script: $kind" "cannot read the script: $reason" "$runner" "$file"
done
check "ioctl-script on a window size too large" "is too large" "$runner" "$work/huge-size.ioc"
check "ioctl-script with a FIFO as language file" "a FIFO (named pipe), not a file" "$runner" --install "$work/install" "$script"
check "tavrin-demo with a FIFO as language file" "a FIFO (named pipe), not a file" \
  "$demo" --latency 0 --install-path "$work/install" --screenshot "$work/x.png"
check "vehicle-info --check with a FIFO as language file" "a FIFO (named pipe), not a file" \
  "$info" --check --install "$work/install"
for connection in 'kline:/dev/ttyS0?baud=0' 'kline:/dev/ttyS0?baud=-1' 'kline:/dev/ttyS0?baud=99999999999999' \
                  'kline:/dev/ttyS0?echo=2' 'can:virtualcan:can0?bitrate=abc' 'can:virtualcan:can0?bitrate=0' \
                  'kline:loopback?foo=bar' 'kline:' 'can:virtualcan' 'bogus:x' 'elm:' 'elm:/dev/ttyS0?protocol=j1850' \
                  'elm:/dev/ttyS0?chip=stn' 'elm:loopback?chip=avr' 'elm:/dev/ttyS0?bitrate=0'; do
  check "vehicle-info --ping --link $connection" "0x1013" "$info" --ping --link "$connection"
  check "ioctl-script --link $connection" "0x1013" "$runner" --link "$connection" "$script"
  check "tavrin-demo --link $connection" "0x1013" "$demo" --latency 0 --link "$connection" --screenshot "$work/x.png"
done
for connection in 'can:virtualcan:can0?bitrate=abc' 'can:virtualcan:can0?foo=bar' 'can:loopback' 'kline:x'; do
  check "tavrin-ecu-sim --can $connection" "$connection" "$sim" --can "$connection"
done
check "tavrin-ecu-sim --baud too large" "not a baud rate" "$sim" --kline pty --baud 99999999999999
check "tavrin-ecu-sim with an unknown adapter reply" "elm REPLY" "$sim" --elm pty --fault "elm OK MAYBE"
check "tavrin-ecu-sim with two ports" "is needed" "$sim" --elm pty --kline pty
exit $failed

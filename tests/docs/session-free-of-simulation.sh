#!/usr/bin/env bash
# session-free-of-simulation.sh ROOT: no file of the session library or of what
# it stands on includes a header of the simulated vehicle, so a host of the
# session library alone never needs the simulation.
set -uo pipefail
root=$1
session_side="kwpsession links kwp kwpbase vehicle isotp session xml"
simulation=$(cd "$root/src" && ls ecusim/*.h simlinks/*.h | xargs -n1 basename | sort -u)
status=0
for folder in $session_side; do
  for file in "$root/src/$folder"/*; do
    [ -f "$file" ] || continue
    for header in $(grep -hoE '#include [<"]([A-Za-z0-9_]+/)?[A-Za-z0-9_]+\.h[>"]' "$file" | sed -E 's/.*[<"/]([A-Za-z0-9_]+\.h)[>"]/\1/'); do
      if echo "$simulation" | grep -qx "$header"; then
        echo "FAILED: src/$folder/$(basename "$file") includes the simulation's $header"
        status=1
      fi
    done
  done
done
[ $status -eq 0 ] && echo "session side ok: nothing of the simulation included"
exit $status

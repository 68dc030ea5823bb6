#!/usr/bin/env bash
# full-disk.sh RUNNER SCRIPT: the run files of an earlier run lie on a file
# system with no room left; a new run must keep them as they were, name the
# file and the reason, and exit 2. Needs a small tmpfs (root): skipped (77)
# where none can be mounted.
set -uo pipefail
runner=$1 script=$2
disk=$(mktemp -d)
if ! mount -t tmpfs -o size=64k tmpfs "$disk" 2>/dev/null; then
  rmdir "$disk"; echo "no tmpfs can be mounted here (not root?): full-disk run skipped"; exit 77
fi
trap 'umount "$disk"; rmdir "$disk"' EXIT
for f in run.csv run.json run.xml; do echo "the earlier run" > "$disk/$f"; done
dd if=/dev/zero of="$disk/filler" bs=4k count=64 2>/dev/null  # fills what is left
out=$(timeout 120 "$runner" --csv "$disk/run.csv" --report "$disk/run.json" --junit "$disk/run.xml" "$script" 2>&1)
status=$?
failed=0
[ "$status" -eq 2 ] || { echo "exit status $status, wanted 2"; failed=1; }
grep -q "No space left on device" <<< "$out" || { echo "no word of the full disk:"; tail -3 <<< "$out"; failed=1; }
for f in run.csv run.json run.xml; do
  [ "$(cat "$disk/$f")" = "the earlier run" ] || { echo "$f was not kept: $(wc -c < "$disk/$f") bytes"; failed=1; }
done
[ -z "$(ls "$disk" | grep -v -e '^run\.' -e '^filler$')" ] || { echo "left behind: $(ls "$disk")"; failed=1; }
[ "$failed" -eq 0 ] && echo "full disk ok"
exit $failed

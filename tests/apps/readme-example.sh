#!/usr/bin/env bash
# readme-example.sh RUNNER ROOT [--update]: the README's console example is what
# the runner prints today. It runs the example's command (its "$ build/apps/
# ioctl-script SCRIPT" line) and compares; --update writes the output into the
# README instead.
set -uo pipefail
runner=$1 root=$2 update=${3:-}
readme=$root/README.md
command=$(awk '/^```console$/ { getline; print; exit }' "$readme")
script=${command#'$ build/apps/ioctl-script '}
if [ "$script" = "$command" ] || [ ! -f "$root/$script" ]; then
  echo "FAILED: $readme: no console example of the form '\$ build/apps/ioctl-script SCRIPT'"; exit 1
fi
actual=$(cd "$root" && "$runner" "$script" 2> /dev/null)
shown=$(awk '/^```console$/ { inside = 1; getline; next } inside && /^```$/ { exit } inside { print }' "$readme")
if [ "$update" = "--update" ]; then
  output=$actual awk '
    /^```console$/ && !done { print; getline; print; print ENVIRON["output"]; skipping = 1; next }
    skipping && /^```$/ { skipping = 0; done = 1 }
    !skipping { print }' "$readme" > "$readme.new" && mv "$readme.new" "$readme"
  echo "updated $readme"; exit 0
fi
if [ "$actual" != "$shown" ]; then
  echo "FAILED: $readme: the console example differs from what '$command' prints now"
  diff <(echo "$shown") <(echo "$actual")
  echo "To take the new output: $0 $runner $root --update"
  exit 1
fi
echo "README example ok"

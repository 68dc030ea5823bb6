#!/usr/bin/env bash
# architecture-targets.sh ROOT: docs/architecture.md's table of targets and the
# CMake files of src/ name the same targets, so the page cannot fall behind the build.
set -uo pipefail
root=$1
built=$(grep -hoE '^\s*(tavrin_module|tavrin_session_library|add_library)\(\s*[A-Za-z0-9_]+' "$root"/src/*/CMakeLists.txt |
        sed -E 's/.*\(\s*//' | sort -u)
documented=$(grep -E '^\| `' "$root/docs/architecture.md" | cut -d'|' -f2 | grep -oE '`[A-Za-z0-9_]+`' | tr -d '`' | sort -u)
# Targets the table names in one row with another ("A / B") or on purpose leaves to a note.
missing=$(comm -23 <(echo "$built") <(echo "$documented"))
stale=$(comm -13 <(echo "$built") <(echo "$documented"))
status=0
[ -z "$missing" ] || { echo "FAILED: docs/architecture.md does not name the target(s): $(echo $missing)"; status=1; }
[ -z "$stale" ] || { echo "FAILED: docs/architecture.md names target(s) the build does not have: $(echo $stale)"; status=1; }
[ $status -eq 0 ] && echo "architecture ok: $(echo "$built" | wc -l) targets"
exit $status

#!/usr/bin/env bash
# parts-own-their-widgets.sh ROOT: a part of the control touches its own widgets
# only. Another part's widgets are reached through that part's operations; only
# the control (which connects them) and the layout (which places them) read a
# part's widgets(), and only the part itself includes its widgets' header.
set -uo pipefail
root=$1
status=0
for folder in core language catalogue sequence; do
  hits=$(grep -nE '\.widgets\(\)' "$root/src/$folder"/*.{h,cpp} 2>/dev/null)
  if [ -n "$hits" ]; then
    echo "FAILED: src/$folder reaches a part's widgets:"
    echo "$hits" | sed "s|$root/||"
    status=1
  fi
done
check_header() {  # HEADER OWNER: folders other than OWNER, control and layout must not include HEADER
  local header=$1 owner=$2
  for folder in core language catalogue sequence; do
    [ "$folder" = "$owner" ] && continue
    hits=$(grep -lE "#include \"$header\"" "$root/src/$folder"/*.{h,cpp} 2>/dev/null)
    if [ -n "$hits" ]; then
      echo "FAILED: $(echo $hits | sed "s|$root/||g") include(s) $header, which belongs to src/$owner"
      status=1
    fi
  done
}
check_header CatalogueWidgets.h catalogue
check_header SequencerWidgets.h sequence
[ $status -eq 0 ] && echo "widgets ok: each part touches its own"
exit $status

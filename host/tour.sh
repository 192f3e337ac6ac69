#!/usr/bin/env bash
# The bundled tour: runs menuhost with host/tours/main.tour on a scratch copy of sample-game/
# and tells where the copy is and what the tour changed in it.
#   host/tour.sh BUILD_DIR     (make run builds menuhost and the plug-ins first)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/native}
case $build in /*) ;; *) build=$here/$build ;; esac
menuhost=$build/host/menuhost
if [ ! -x "$menuhost" ]; then
  echo "tour: $menuhost is not built; run: cmake --build $build --target menuhost portico sortie" >&2
  exit 2
fi
scratch=$here/scratch
mkdir -p "$scratch"
log=$(mktemp)
"$menuhost" --copy-of "$here/sample-game" --scratch "$scratch" --plugins "$build" \
  "$here/host/tours/main.tour" | tee "$log"
status=${PIPESTATUS[0]}
copy=$(sed -n 's/^menuhost: the scratch folder is //p' "$log" | tail -n 1)
rm -f "$log"
if [ -n "$copy" ]; then
  echo
  echo "tour: the scratch folder is $copy"
  echo "tour: what the tour changed there (sample-game/ itself is untouched):"
  (cd "$here/sample-game" && find . -type f | sort) > "$scratch/.before"
  (cd "$copy" && find . -type f | sort) > "$scratch/.after"
  comm -13 "$scratch/.before" "$scratch/.after" | sed 's/^\.\//  added    /'
  comm -23 "$scratch/.before" "$scratch/.after" | sed 's/^\.\//  removed  /'
  while read -r f; do
    if ! cmp -s "$here/sample-game/$f" "$copy/$f"; then echo "  changed  ${f#./}"; fi
  done < <(comm -12 "$scratch/.before" "$scratch/.after")
  rm -f "$scratch/.before" "$scratch/.after"
fi
if [ "$status" -eq 0 ]; then echo "tour: contract check clean, every expectation met"; else echo "tour: FAILED (menuhost exit status $status)"; fi
exit "$status"

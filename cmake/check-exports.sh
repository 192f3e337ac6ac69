#!/usr/bin/env bash
# Checks that each named plug-in DLL of a Windows build exports InitMenuCode and ExitMenuCode under
# exactly those names (no decoration), as the game looks them up.
#   check-exports.sh BUILD_DIR PLUGIN...
set -euo pipefail
dir=${1:?usage: check-exports.sh BUILD_DIR PLUGIN...}
shift
objdump=i686-w64-mingw32-objdump
status=0
for plugin in "$@"; do
  dll=$(find "$dir" -name "$plugin.dll" -print -quit)
  if [ -z "$dll" ]; then
    echo "$plugin.dll: not found under $dir" >&2; status=1; continue
  fi
  names=$($objdump -p "$dll" | awk '/Ordinal\/Name Pointer/{t=1;next} t && /^[ \t]*\[/{print $NF} t && /^[ \t]*$/{t=0}')
  for want in InitMenuCode ExitMenuCode; do
    if grep -qx "$want" <<<"$names"; then
      echo "$plugin.dll: exports $want"
    else
      echo "$plugin.dll: MISSING export $want (exports: $(echo $names))" >&2; status=1
    fi
  done
done
exit $status

#!/usr/bin/env bash
# Checks that every plug-in DLL of a Windows build exports InitMenuCode and ExitMenuCode under
# exactly those names (no decoration), as the game looks them up.
set -euo pipefail
dir=${1:?usage: check-exports.sh BUILD_DIR}
objdump=i686-w64-mingw32-objdump
status=0
found=0
for dll in $(find "$dir" -maxdepth 3 -name '*.dll' -path '*portico*' -o -maxdepth 3 -name '*.dll' -path '*sortie*'); do
  found=1
  names=$($objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^\s*\[/{print $NF} t&&/^$/{t=0}')
  for want in InitMenuCode ExitMenuCode; do
    if grep -qx "$want" <<<"$names"; then
      echo "$(basename "$dll"): exports $want"
    else
      echo "$(basename "$dll"): MISSING export $want (exports: $(echo $names))" >&2; status=1
    fi
  done
done
if [ "$found" = 0 ]; then echo "no plug-in DLLs found under $dir" >&2; exit 1; fi
exit $status

#!/bin/sh
# Runs a MinGW x86_64 program under Wine's 64-bit loader, quietly, with a prefix of our own.
# The first call creates the prefix and leaves a wine server running for a minute after its last
# client, with its output detached: later starts are then fast, and no helper process of Wine holds
# the test runner's output pipes open.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/menuplugins-wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
(
  flock 9
  if [ ! -f "$WINEPREFIX/.menuplugins-ready" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot.exe -i 9>&- && touch "$WINEPREFIX/.menuplugins-ready"
  fi
  # Wine's own processes must not inherit the lock, or they would hold it for as long as they live.
  # Only a newly started server needs its session booted; booting it again while programs run
  # under it is not harmless.
  if /usr/lib/wine/wineserver -p60 9>&-; then
    /usr/lib/wine/wine64 wineboot.exe 9>&-
  fi
) 9>"$WINEPREFIX.lock" </dev/null >/dev/null 2>&1
exec /usr/lib/wine/wine64 "$@"

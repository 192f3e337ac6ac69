#!/bin/sh
# Runs a MinGW x86_64 program under Wine's 64-bit loader, quietly, with a prefix of our own.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/menuplugins-wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"

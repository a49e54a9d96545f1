#!/bin/sh
# Runs a Windows program of the build under Wine, in the build's own prefix.
# TOLVANE_WINEPREFIX names the prefix; tools/with-wine.sh sets it and keeps a
# persistent wineserver running for the whole test run.
: "${TOLVANE_WINEPREFIX:=${WINEPREFIX:-$PWD/wineprefix}}"
WINEPREFIX=$TOLVANE_WINEPREFIX
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec wine "$@"

#!/usr/bin/env bash
# Makes a fresh wine prefix for one run of the Windows tests: the old one goes, wineboot
# creates the new one headless, and its server is waited for so that the tests start on a
# settled prefix.
#   scripts/wine_prefix.sh PREFIX
set -euo pipefail
prefix=${1:?usage: wine_prefix.sh PREFIX}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [[ -d $prefix ]]; then
    wineserver -k 2>/dev/null || true
    # A folder a test made read-only (chattr +i) would stop the removal.
    chattr -R -i "$prefix" 2>/dev/null || true
    rm -rf "$prefix"
fi
wineboot --init >/dev/null 2>&1
wineserver --wait

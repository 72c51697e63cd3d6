#!/usr/bin/env bash
# Sets the screen resolution (dots per inch) that the programs of a wine prefix see.
#   scripts/wine_dpi.sh PREFIX 96|144|192
# Wine 8 takes LogPixels from HKCU\Control Panel\Desktop (what winecfg writes) and, when the
# user has none, from the machine's HKLM\...\Hardware Profiles\Current\Software\Fonts; both
# are set. Programs started afterwards see the new value (GetDpiForSystem, LOGPIXELSX); the
# script waits for the prefix's session to end, so that the next program starts a session,
# desktop process included, at the new resolution.
set -euo pipefail
prefix=${1:?usage: wine_dpi.sh PREFIX DPI}
dpi=${2:?usage: wine_dpi.sh PREFIX DPI}
if [[ ! $dpi =~ ^[0-9]+$ ]] || ((dpi < 96 || dpi > 480)); then
    echo "wine_dpi: $dpi is no resolution between 96 and 480" >&2
    exit 2
fi
[[ -f $prefix/system.reg ]] || {
    echo "wine_dpi: no wine prefix at $prefix (scripts/wine_prefix.sh makes one)" >&2
    exit 1
}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
wineserver --wait

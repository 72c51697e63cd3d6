#!/usr/bin/env bash
# The Windows installer under wine, in a prefix made afresh, with no display: a silent
# install puts the programs, the licence, the readme and the uninstaller into Program Files,
# the shortcuts into the Start menu and the uninstaller into the installed programs' list;
# zentrikctl.exe runs from there; a silent uninstall takes all of it away again.
#   installer_test.sh WORK_FOLDER SETUP_EXE ZENTRIKCTL_EXE [ZENTRIK_EXE]
# The programs given are the files the setup should install (compared byte for byte).
set -euo pipefail
work=${1:?usage: installer_test.sh WORK_FOLDER SETUP_EXE ZENTRIKCTL_EXE [ZENTRIK_EXE]}
setup=${2:?usage: installer_test.sh WORK_FOLDER SETUP_EXE ZENTRIKCTL_EXE [ZENTRIK_EXE]}
ctl=${3:?usage: installer_test.sh WORK_FOLDER SETUP_EXE ZENTRIKCTL_EXE [ZENTRIK_EXE]}
window=${4:-}
here=$(cd "$(dirname "$0")" && pwd)

failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what" >&2
        failures=$((failures + 1))
    fi
}
mentions() { LC_ALL=C grep -a -i -q -F "$2" "$1"; }
absent() { [[ ! -e $1 ]]; }
reg_value() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\HalvornZentrik' \
        /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
same_text() { [[ $1 == "$2" ]]; }

mkdir -p "$work"
work=$(cd "$work" && pwd)
prefix=$work/prefix
"$here/../../scripts/wine_prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
trap 'wineserver -k 2>/dev/null || true' EXIT

folder="$prefix/drive_c/Program Files/Halvorn Zentrik"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Halvorn Zentrik"

echo "installer_test: silent install"
wine "$setup" /S
wineserver --wait
check "zentrikctl.exe installed as built" cmp -s "$ctl" "$folder/zentrikctl.exe"
if [[ -n $window ]]; then
    check "zentrik.exe installed as built" cmp -s "$window" "$folder/zentrik.exe"
    check "Start-menu shortcut to zentrik.exe" mentions "$menu/Halvorn Zentrik.lnk" zentrik.exe
else
    check "no zentrik.exe" absent "$folder/zentrik.exe"
fi
for file in licence.txt readme.txt uninstall.exe; do
    check "$file installed" test -s "$folder/$file"
done
check "Start-menu command prompt" mentions "$menu/Zentrik Command Prompt.lnk" cmd.exe
check "Start-menu readme" mentions "$menu/Readme.lnk" readme.txt
check "listed under installed programs" same_text "$(reg_value DisplayName)" "Halvorn Zentrik"
check "its uninstaller named there" mentions <(reg_value UninstallString) \
    'C:\Program Files\Halvorn Zentrik\uninstall.exe'
check "a silent uninstall named there" mentions <(reg_value QuietUninstallString) '.exe" /S'

echo "installer_test: zentrikctl.exe from Program Files"
version=$(wine 'C:\Program Files\Halvorn Zentrik\zentrikctl.exe' --version | tr -d '\r') || true
check "zentrikctl --version answers ($version)" mentions <(echo "$version") zentrikctl

echo "installer_test: silent uninstall"
# The uninstaller copies itself away and runs from there; waiting for the prefix's programs
# to end waits for that copy too.
wine "$folder/uninstall.exe" /S
wineserver --wait
check "Program Files folder removed" absent "$folder"
check "Start-menu folder removed" absent "$menu"
check "no longer listed" same_text "$(reg_value DisplayName)" ""

if ((failures > 0)); then
    echo "installer_test: $failures checks failed (prefix kept in $prefix)" >&2
    exit 1
fi
trap - EXIT
wineserver -k 2>/dev/null || true
rm -rf "$prefix"
echo "installer_test: passed"

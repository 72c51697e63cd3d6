#!/usr/bin/env bash
# The Windows installer under wine, in a prefix made afresh: a silent install puts the
# programs, the licence, the readme and the uninstaller into Program Files, the shortcuts into
# the Start menu and the uninstaller into the installed programs' list; zentrikctl.exe runs
# from there, and so does zentrik.exe on a private display, closed as its user would close it
# (by DRIVER_EXE, tests/windows/window/window_driver.cpp); with Program Files read-only its
# INI file goes to %APPDATA%\zentrik; a silent uninstall takes all of it away again.
#   installer_test.sh WORK_FOLDER SETUP_EXE ZENTRIKCTL_EXE ZENTRIK_EXE DRIVER_EXE
# The programs given are the files the setup should install (compared byte for byte).
set -euo pipefail
usage="usage: installer_test.sh WORK_FOLDER SETUP_EXE ZENTRIKCTL_EXE ZENTRIK_EXE DRIVER_EXE"
work=${1:?$usage}
setup=${2:?$usage}
ctl=${3:?$usage}
window=${4:?$usage}
driver=${5:?$usage}
here=$(cd "$(dirname "$0")" && pwd)
xvfb=$here/../../scripts/xvfb_display.sh

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
# The default value of a key under HKLM\Software\Classes.
class_value() {
    wine reg query "HKLM\\Software\\Classes\\$1" /ve 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *([^)]*) *REG_[A-Z]* *//p'
}

mkdir -p "$work"
work=$(cd "$work" && pwd)
prefix=$work/prefix
"$here/../../scripts/wine_prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
folder="$prefix/drive_c/Program Files/Halvorn Zentrik"
writable() {
    chattr -i "$folder" 2>/dev/null || true
    chmod u+w "$folder" 2>/dev/null || true
}
cleanup() {
    writable
    wineserver -k 2>/dev/null || true
    "$xvfb" stop "$work/xvfb" 2>/dev/null || true
}
trap cleanup EXIT

menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Halvorn Zentrik"

echo "installer_test: silent install"
wine "$setup" /S
wineserver --wait
check "zentrikctl.exe installed as built" cmp -s "$ctl" "$folder/zentrikctl.exe"
check "zentrik.exe installed as built" cmp -s "$window" "$folder/zentrik.exe"
check "Start-menu shortcut to zentrik.exe" mentions "$menu/Halvorn Zentrik.lnk" zentrik.exe
for file in licence.txt readme.txt uninstall.exe; do
    check "$file installed" test -s "$folder/$file"
done
check "Start-menu command prompt" mentions "$menu/Zentrik Command Prompt.lnk" cmd.exe
check "Start-menu readme" mentions "$menu/Readme.lnk" readme.txt
check "listed under installed programs" same_text "$(reg_value DisplayName)" "Halvorn Zentrik"
check "its uninstaller named there" mentions <(reg_value UninstallString) \
    'C:\Program Files\Halvorn Zentrik\uninstall.exe'
check "a silent uninstall named there" mentions <(reg_value QuietUninstallString) '.exe" /S'

check "*.zcfg is a Zentrik Configuration" same_text "$(class_value .zcfg)" Zentrik.Configuration
check "named so" same_text "$(class_value Zentrik.Configuration)" "Zentrik Configuration"
check "with the program's icon" same_text "$(class_value 'Zentrik.Configuration\DefaultIcon')" \
    'C:\Program Files\Halvorn Zentrik\zentrik.exe,0'
check "opened by zentrik.exe" same_text \
    "$(class_value 'Zentrik.Configuration\shell\open\command')" \
    '"C:\Program Files\Halvorn Zentrik\zentrik.exe" "%1"'

echo "installer_test: zentrikctl.exe from Program Files"
version=$(wine 'C:\Program Files\Halvorn Zentrik\zentrikctl.exe' --version | tr -d '\r') || true
check "zentrikctl --version answers ($version)" mentions <(echo "$version") zentrikctl
# One release everywhere: what the programs print, the installed programs' list, the setup.
release=$(echo "$version" | awk '{print $2}')
check "listed with the programs' release ($release)" same_text "$(reg_value DisplayVersion)" \
    "$release"
check "the setup named for it" same_text "$(basename "$setup")" "zentrik-$release-setup.exe"

echo "installer_test: zentrik.exe from a read-only Program Files, on a private display"
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
appdata_unix=$(wine winepath -u "$appdata" 2>/dev/null | tr -d '\r')
rm -rf "$appdata_unix/zentrik"
# Wine lets root write anywhere; an immutable folder it cannot write either.
if [[ $(id -u) -eq 0 ]]; then
    chattr +i "$folder"
else
    chmod a-w "$folder"
fi
# The session so far has no display, and a session's desktop keeps what it started with.
wineserver -k 2>/dev/null || true
wineserver --wait 2>/dev/null || true
"$xvfb" start "$work/xvfb" >/dev/null
"$xvfb" run "$work/xvfb" wine 'C:\Program Files\Halvorn Zentrik\zentrik.exe' \
    >"$work/zentrik.out" 2>&1 &
window_pid=$!
check "zentrik.exe shows its window" "$xvfb" run "$work/xvfb" wine "$driver" frame-wait 60
check "zentrik.exe closes when asked" "$xvfb" run "$work/xvfb" wine "$driver" close 30
wait "$window_pid" || true
check "Zentrik.ini written to %APPDATA%\\zentrik" test -s "$appdata_unix/zentrik/Zentrik.ini"
check "the configuration saved there" mentions "$appdata_unix/zentrik/Zentrik.ini" \
    "[Zentrik Config]"
check "no Zentrik.ini in Program Files" absent "$folder/Zentrik.ini"
writable
wineserver -k 2>/dev/null || true
wineserver --wait 2>/dev/null || true
"$xvfb" stop "$work/xvfb"

echo "installer_test: silent uninstall"
# The uninstaller copies itself away and runs from there; waiting for the prefix's programs
# to end waits for that copy too.
wine "$folder/uninstall.exe" /S
wineserver --wait
check "Program Files folder removed" absent "$folder"
check "Start-menu folder removed" absent "$menu"
check "no longer listed" same_text "$(reg_value DisplayName)" ""
check "*.zcfg no longer registered" same_text "$(class_value .zcfg)$(class_value \
    Zentrik.Configuration)" ""

if ((failures > 0)); then
    echo "installer_test: $failures checks failed (prefix kept in $prefix)" >&2
    exit 1
fi
trap - EXIT
cleanup
rm -rf "$prefix"
echo "installer_test: passed"

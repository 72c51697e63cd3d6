#!/usr/bin/env bash
# Builds the Windows installer and a portable zip of the same files,
#   build/package/windows/zentrik-<version>-setup.exe
#   build/package/windows/zentrik-<version>-windows.zip
# from the MinGW build (preset mingw): zentrik.exe, zentrikctl.exe, the licence and the
# readme. Then tests/windows/installer_test.sh installs the setup silently in a fresh wine
# prefix, runs zentrikctl.exe and zentrik.exe (on a private display) from Program Files and
# uninstalls it again.
#   scripts/windows_package.sh
# ZENTRIK_JOBS=N limits the build to N parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# > 0)); then
    echo "usage: scripts/windows_package.sh" >&2
    exit 2
fi

fail() {
    echo "windows_package: $*" >&2
    exit 1
}

scripts/setup.sh ci
cmake --preset mingw >/dev/null
# name=path lines written by cmake/WindowsPackage.cmake.
declare -A built
while IFS='=' read -r name value; do
    built[$name]=$value
done <build/mingw/windows-package.txt
version=${built[version]}

[[ -n ${built[zentrik]} ]] || fail "the build has no zentrik.exe"
[[ -n ${built[driver]} ]] || fail "the build has no window_driver.exe (the tests are off?)"
# The driver closes the installed window as its user would, for the installer test.
cmake --build --preset mingw --target zentrikctl zentrik zentrik_win32_res window_driver \
    ${ZENTRIK_JOBS:+-j "$ZENTRIK_JOBS"}

out=build/package/windows
name=zentrik-$version
stage=$out/$name
rm -rf "$stage" "$out/$name-setup.exe" "$out/$name-windows.zip"
mkdir -p "$stage"

# The programs without their symbol tables, as a release ships them.
x86_64-w64-mingw32-strip --strip-unneeded -o "$stage/zentrikctl.exe" "${built[zentrikctl]}"
x86_64-w64-mingw32-strip --strip-unneeded -o "$stage/zentrik.exe" "${built[zentrik]}"
# Windows line ends, for every editor there.
for text in licence.txt readme.txt; do
    sed 's/$/\r/' "res/windows/$text" >"$stage/$text"
done

makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DOUTFILE="$PWD/$out/$name-setup.exe" \
    -DICON="${built[icon]}" -DWINDOW res/windows/zentrik.nsi
(cd "$out" && zip -q -X -r "$name-windows.zip" "$name")

tests/windows/installer_test.sh "$out/installer-test" "$out/$name-setup.exe" \
    "$stage/zentrikctl.exe" "$stage/zentrik.exe" "${built[driver]}"
ls -l "$out/$name-setup.exe" "$out/$name-windows.zip"

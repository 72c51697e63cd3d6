#!/usr/bin/env bash
# Builds the Windows installer and a portable zip of the same files,
#   build/package/windows/zentrik-<version>-setup.exe
#   build/package/windows/zentrik-<version>-windows.zip
# from the MinGW build (preset mingw): zentrik.exe, zentrikctl.exe, the licence and the
# readme. Then tests/windows/installer_test.sh installs the setup silently in a fresh wine
# prefix, runs zentrikctl.exe from Program Files and uninstalls it again.
#   scripts/windows_package.sh [--allow-missing-window]
# --allow-missing-window packages zentrikctl.exe alone when the build has no zentrik.exe.
# ZENTRIK_JOBS=N limits the build to N parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

allow_missing_window=false
case ${1:-} in
--allow-missing-window) allow_missing_window=true ;;
"") ;;
*)
    echo "usage: scripts/windows_package.sh [--allow-missing-window]" >&2
    exit 2
    ;;
esac

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

targets=(zentrikctl zentrik_win32_res)
if [[ -n ${built[zentrik]} ]]; then
    targets+=(zentrik)
elif $allow_missing_window; then
    echo "windows_package: the build has no zentrik.exe yet: packaging zentrikctl.exe alone"
else
    fail "the build has no zentrik.exe (the window) yet;" \
        "--allow-missing-window packages zentrikctl.exe alone"
fi
cmake --build --preset mingw --target "${targets[@]}" ${ZENTRIK_JOBS:+-j "$ZENTRIK_JOBS"}

out=build/package/windows
name=zentrik-$version
stage=$out/$name
rm -rf "$stage" "$out/$name-setup.exe" "$out/$name-windows.zip"
mkdir -p "$stage"

# The programs without their symbol tables, as a release ships them.
programs=("$stage/zentrikctl.exe")
x86_64-w64-mingw32-strip --strip-unneeded -o "$stage/zentrikctl.exe" "${built[zentrikctl]}"
if [[ -n ${built[zentrik]} ]]; then
    x86_64-w64-mingw32-strip --strip-unneeded -o "$stage/zentrik.exe" "${built[zentrik]}"
    programs+=("$stage/zentrik.exe")
fi
# Windows line ends, for every editor there.
for text in licence.txt readme.txt; do
    sed 's/$/\r/' "res/windows/$text" >"$stage/$text"
done

window=()
if [[ -n ${built[zentrik]} ]]; then
    window=(-DWINDOW)
fi
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DOUTFILE="$PWD/$out/$name-setup.exe" \
    -DICON="${built[icon]}" "${window[@]}" res/windows/zentrik.nsi
(cd "$out" && zip -q -X -r "$name-windows.zip" "$name")

tests/windows/installer_test.sh "$out/installer-test" "$out/$name-setup.exe" "${programs[@]}"
ls -l "$out/$name-setup.exe" "$out/$name-windows.zip"

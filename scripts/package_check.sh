#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built (build/package/deb): lintian finds no
# errors, the desktop entry and the AppStream metainfo validate, every file the package must
# hold is there, and the programs start from the package unpacked into a temporary root.
# Any failure fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

debs=(build/package/deb/zentrik_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f "${debs[0]}" ]]; then
    echo "package_check: expected one build/package/deb/zentrik_*.deb (scripts/package.sh)" >&2
    exit 1
fi
deb=${debs[0]}
echo "== $deb"
dpkg-deb --info "$deb"

echo "== lintian"
lintian --info --pedantic --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
window=no
if [[ -e "$root/usr/bin/zentrik" ]]; then
    window=yes
fi

echo "== contents (window: $window)"
expected=(
    usr/bin/zentrikctl usr/bin/zentrik-sim
    usr/lib/udev/rules.d/60-zentrik.rules
    usr/share/man/man1/zentrikctl.1.gz usr/share/man/man1/zentrik-sim.1.gz
    usr/share/doc/zentrik/copyright usr/share/doc/zentrik/changelog.gz
    usr/share/icons/hicolor/scalable/apps/zentrik.svg
)
for size in 16 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/zentrik.png")
done
# The desktop entry and the metainfo are named by the AppStream id (cmake/ZentrikPackage.cmake).
app_id=org.example.zentrik
if [[ $window == yes ]]; then
    expected+=("usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml"
               usr/share/man/man1/zentrik.1.gz usr/share/mime/packages/zentrik.xml)
fi
for file in "${expected[@]}"; do
    if [[ ! -f "$root/$file" ]]; then
        echo "package_check: the package lacks /$file" >&2
        exit 1
    fi
done
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for library in libudev1 libstdc++6; do
    [[ $depends == *"$library"* ]] || { echo "package_check: no dependency on $library" >&2; exit 1; }
done
if [[ $window == yes && $depends != *libqt6widgets6* ]]; then
    echo "package_check: the window is packaged without a dependency on Qt 6 Widgets" >&2
    exit 1
fi

echo "== desktop entry and metainfo"
desktop-file-validate res/linux/zentrik.desktop
appstreamcli validate --no-net --pedantic "build/package/package-files/$app_id.metainfo.xml"
if [[ $window == yes ]]; then
    desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
    appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app_id.metainfo.xml"
fi

if [[ $window == yes ]]; then
    echo "== the configuration files' type"
    # The system's MIME database made from the package's type alone: *.zcfg is ours, and the
    # desktop entry opens it.
    mime=$root/mime-check/mime
    mkdir -p "$mime/packages"
    cp "$root/usr/share/mime/packages/zentrik.xml" "$mime/packages/"
    XDG_DATA_HOME=$root/mime-check update-mime-database "$mime"
    grep -qx '[0-9]*:application/x-zentrik-configuration:\*\.zcfg' "$mime/globs2" ||
        { echo "package_check: *.zcfg is not application/x-zentrik-configuration" >&2; exit 1; }
    grep -qx 'MimeType=application/x-zentrik-configuration;' \
        "$root/usr/share/applications/$app_id.desktop" ||
        { echo "package_check: the desktop entry does not open *.zcfg" >&2; exit 1; }
fi

echo "== manual pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    # Any warning of the formatter fails the check.
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    if [[ -n $warnings ]]; then
        echo "package_check: $page: $warnings" >&2
        exit 1
    fi
done

echo "== the programs, run from the unpacked package"
# Each program prints its name, then the release the package carries.
package_version=$(dpkg-deb --field "$deb" Version)
check_version() {
    local program=$1
    shift
    local out
    out=$("$@" "$root/usr/bin/$program" --version)
    echo "$out"
    if [[ $out != "$program $package_version "* ]]; then
        echo "package_check: $program --version printed: $out (the package: $package_version)" >&2
        exit 1
    fi
}
check_version zentrikctl env
check_version zentrik-sim env
if [[ $window == yes ]]; then
    check_version zentrik env QT_QPA_PLATFORM=offscreen
fi
echo "== package checks passed"

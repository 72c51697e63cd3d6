#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when some are missing.
#   scripts/setup.sh        - what building and testing needs
#   scripts/setup.sh ci     - also the Windows cross compiler and wine, clang's fuzzing runtime,
#                             the package checkers, and for the Windows window and package:
#                             ImageMagick (bitmaps, icon), Xvfb (the tests' display), NSIS, zip
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config make
    libgtest-dev libgmock-dev googletest
    libudev-dev umockdev libumockdev-dev
    qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev
    librsvg2-bin dpkg-dev file
)
if [[ "${1:-}" == "ci" ]]; then
    packages+=(g++-mingw-w64-x86-64 wine wine64 clang libclang-rt-14-dev clang-format)
    packages+=(lintian desktop-file-utils appstream shared-mime-info)
    packages+=(imagemagick xvfb nsis zip)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Cross-builds the Windows programs (zentrik.exe, zentrikctl.exe) and test suites with MinGW-w64
# and runs them under wine: the suites without POSIX code, the Windows platform suite (vendor
# library stand-in, registry, INI file), the window's resources, form and frame (their windows
# on a private Xvfb display), and zentrikctl.exe and zentrik.exe end to end against the Linux
# simulator on COM5. Every run starts from fresh wine prefixes (build/mingw/wine-prefix, and
# wine-prefix-display for the windows).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh ci
# The simulator the end-to-end run talks to is the Linux one.
if [[ ! -x build/dev/tools/zentrik-sim ]]; then
    cmake --preset dev
    cmake --build --preset dev --target zentrik-sim zentrikctl
fi
cmake --preset mingw
cmake --build --preset mingw
ctest --preset mingw

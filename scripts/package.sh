#!/usr/bin/env bash
# Builds the Debian package: build/package/deb/zentrik_<version>_<arch>.deb.
# Compiler and linker flags are Debian's own (dpkg-buildflags: hardening, optimisation).
# ZENTRIK_JOBS=N limits the build to N parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
# --fresh: the flags above are read when the build folder is configured.
cmake --preset package --fresh
cmake --build --preset package ${ZENTRIK_JOBS:+-j "$ZENTRIK_JOBS"}
rm -f build/package/deb/zentrik_*.deb
(cd build/package && cpack -G DEB)

ls build/package/deb/zentrik_*.deb

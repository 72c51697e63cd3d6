#!/usr/bin/env bash
# Builds the release preset and runs the upgrade benchmark, unpaced and paced at 19200 baud
# (the paced run takes about 70 s: a paced ping-pong, then the upgrade).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release --target zentrik-sim zentrikctl bench_upgrade

echo "== unpaced"
build/release/bench/bench_upgrade
echo "== paced (19200 baud)"
build/release/bench/bench_upgrade --paced

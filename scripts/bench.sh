#!/usr/bin/env bash
# Builds the release preset and runs the benchmarks:
#  - the serial port layer: event-thread CPU with slow arrivals (10 s), round trips against
#    an in-process echo and against zentrik-sim;
#  - a full firmware upgrade through zentrikctl against zentrik-sim, unpaced and paced at
#    19200 baud (the paced run takes about 70 s: a paced ping-pong, then the upgrade).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release --target zentrik-sim zentrikctl bench_upgrade bench_serial_port

echo "== serial port"
build/release/bench/bench_serial_port
echo "== upgrade, unpaced"
build/release/bench/bench_upgrade
echo "== upgrade, paced (19200 baud)"
build/release/bench/bench_upgrade --paced

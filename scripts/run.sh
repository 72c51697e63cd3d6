#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine when something is missing, builds the window and starts
# it. With no controller attached and ZENTRIK_PORT unset, the window talks to zentrik-sim on
# a pseudo-terminal instead, which is stopped when the window closes. A valid demo firmware
# file is written for trying the upgrade.
#
# The program runs from a copy in a folder it may not write to, so that Zentrik.ini goes to
# the per-user folder (~/.config/zentrik/) and never into the source tree.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target zentrik zentrik-sim zentrikctl
build=build/dev

state="${XDG_STATE_HOME:-$HOME/.local/state}/zentrik"
mkdir -p "$state"

# Demo firmware: version 0101 for the Pelvaro (product code 0x0A), the rest of the image
# erased (0xFF), then the image's CRC-32 big-endian. gzip's trailer carries the same CRC-32,
# little-endian.
demo="$state/demo-firmware.eep"
{ printf '\001\001\012'; head -c 30717 /dev/zero | tr '\0' '\377'; } >"$demo.image"
crc=$(gzip -c <"$demo.image" | tail -c 8 | head -c 4 | od -An -tx1 | tr -d ' \n')
{ cat "$demo.image"; printf "\\x${crc:6:2}\\x${crc:4:2}\\x${crc:2:2}\\x${crc:0:2}"; } >"$demo"
rm -f "$demo.image"

stage="$state/bin"
mkdir -p "$stage"
chmod u+w "$stage"
install -m 755 "$build/zentrik" "$stage/zentrik"
chmod a-w "$stage"

sim_pid=""
stop_sim() {
    if [[ -n "$sim_pid" ]]; then
        exec {sim_in}>&- 2>/dev/null || true  # end of input ends the simulator
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
}
trap stop_sim EXIT

if [[ -z "${ZENTRIK_PORT:-}" ]] && ! "$build/tools/zentrikctl" scan >/dev/null 2>&1; then
    coproc SIM { exec "$build/tools/zentrik-sim"; }
    sim_pid=$SIM_PID
    sim_in=${SIM[1]}
    read -r -u "${SIM[0]}" device
    export ZENTRIK_PORT="$device"
    echo "No controller attached: the window talks to the simulator on $device (stopped when it closes)."
fi
echo "Demo firmware for Controller > Upgrade Firmware: $demo"
"$stage/zentrik"

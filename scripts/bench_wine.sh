#!/usr/bin/env bash
# Times a firmware upgrade by zentrikctl.exe under wine against the unpaced simulator, next to
# the Linux zentrikctl against the same simulator, in alternating rounds (default 5), and
# prints each run's wall time, the medians and their ratio. Wine's serial layer is not ours:
# the figure is for the record.
#   scripts/bench_wine.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
root=$(pwd)

scripts/setup.sh ci
cmake --preset release >/dev/null
cmake --build --preset release --target zentrik-sim zentrikctl
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target zentrikctl cp210x_standin

export WINEPREFIX=$root/build/mingw/bench-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
scripts/wine_prefix.sh "$WINEPREFIX"
wine reg import "Z:${root//\//\\}\\tests\\windows\\data\\port_registry.reg" >/dev/null 2>&1
work=$root/build/mingw/bench-work
app=$WINEPREFIX/drive_c/Zentrik
rm -rf "$work" "$app"
mkdir -p "$work" "$app"
cp build/mingw/tools/zentrikctl.exe build/mingw/tests/windows/CP210xManufacturing.dll "$app/"
python3 - "$app/firmware.eep" <<'PY'
import sys, zlib
image = bytearray(((i * 37 + 11) ^ (i >> 7)) & 0xFF for i in range(30720))
image[0:3] = bytes([0x02, 0x00, 0x0A])
open(sys.argv[1], "wb").write(image + zlib.crc32(image).to_bytes(4, "big"))
PY
# The same settings for both; the wider reply interval keeps wine's late reports from
# ending the upgrade (see tests/windows/end_to_end.sh).
printf '[Zentrik Settings]\r\nTimeout=250\r\n' >"$app/upgrade.ini"
cp "$app/upgrade.ini" "$work/upgrade.ini"

com=$WINEPREFIX/dosdevices/com5
rm -f "$com"
mkfifo "$work/sim-input"
build/release/tools/zentrik-sim --link "$com" <"$work/sim-input" >"$work/sim.out" 2>&1 &
sim=$!
exec 3>"$work/sim-input"
trap 'exec 3>&-; kill $sim 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
for _ in $(seq 100); do [[ -L $com ]] && break; sleep 0.05; done
device=$(head -1 "$work/sim.out")
export ZENTRIK_STANDIN_BRIDGES="10c4:ea60:030A000000000001"

elapsed_ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
wine_run() { (cd "$app" && wine ./zentrikctl.exe --yes --ini upgrade.ini upgrade firmware.eep); }
linux_run() {
    build/release/tools/zentrikctl --port "$device" --yes --ini "$work/upgrade.ini" upgrade \
        "$app/firmware.eep"
}

wine_run >/dev/null 2>&1 || true  # warm-up: wine's first start fills its caches
wine_times=() linux_times=()
for round in $(seq "$rounds"); do
    wine_times+=("$(elapsed_ms wine_run)")
    linux_times+=("$(elapsed_ms linux_run)")
    echo "round $round: wine ${wine_times[-1]} ms, linux ${linux_times[-1]} ms"
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
w=$(median "${wine_times[@]}")
l=$(median "${linux_times[@]}")
echo "median: zentrikctl.exe under wine $w ms, zentrikctl $l ms, ratio $(awk -v a="$w" -v b="$l" 'BEGIN {printf "%.2f", a / b}')"

#!/usr/bin/env bash
# Times a firmware upgrade by zentrikctl.exe under wine against the unpaced simulator, next to
# the Linux zentrikctl against the same simulator, in alternating rounds (default 5), and
# prints each run's wall time, the medians and their ratio. Wine's serial layer is not ours:
# the figure is for the record.
# Then the window, zentrik.exe, on a private display: its start until its first painted frame
# (the prefix warm) next to a bare window's, the same upgrade through its window
# (window_driver.exe answers its questions and chooses the file) next to zentrikctl.exe, each
# against a simulator of its own, and the window's CPU time while it sits idle for 10 seconds,
# connected.
#   scripts/bench_wine.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
root=$(pwd)

scripts/setup.sh ci
cmake --preset release >/dev/null
cmake --build --preset release --target zentrik-sim zentrikctl
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target zentrikctl cp210x_standin zentrik window_driver bare_window

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
xvfb=$root/build/mingw/bench-xvfb
window_pid=
cleanup() {
    exec 3>&- || true
    [[ -n $window_pid ]] && kill "$window_pid" 2>/dev/null || true
    kill $sim 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    scripts/xvfb_display.sh stop "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
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

# ---- the window ------------------------------------------------------------------------------
# A session with a display: the one above started without.
wineserver -k 2>/dev/null || true
wineserver --wait 2>/dev/null || true
scripts/xvfb_display.sh start "$xvfb" >/dev/null
export DISPLAY=$(cat "$xvfb/display")
# Xvfb has no window manager, and wine waits about two seconds for one to map each new
# top-level window (every box and dialog of an upgrade); its unmanaged windows map at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
cp build/mingw/ui/win32/zentrik.exe build/mingw/tests/windows/window_driver.exe \
    build/mingw/tests/windows/bare_window.exe "$app/"
cp "$app/upgrade.ini" "$app/Zentrik.ini"
driver() { (cd "$app" && wine ./window_driver.exe "$@") | tr -d '\r'; }

# The start next to a bare window's (bare_window.exe: the main window's class with GDI+ and the
# common controls started, the same manifest, nothing else), in turn.
driver start-time 'C:\Zentrik\zentrik.exe' >/dev/null  # warm-up
driver start-time 'C:\Zentrik\bare_window.exe' >/dev/null
start_times=() bare_times=()
for round in $(seq "$rounds"); do
    start_times+=("$(driver start-time 'C:\Zentrik\zentrik.exe')")
    bare_times+=("$(driver start-time 'C:\Zentrik\bare_window.exe')")
    echo "round $round: start to the first painted frame: zentrik.exe ${start_times[-1]} ms," \
        "a bare window ${bare_times[-1]} ms"
done
s=$(median "${start_times[@]}")
b=$(median "${bare_times[@]}")
echo "median: start to the first painted frame: zentrik.exe $s ms, a bare window $b ms," \
    "ratio $(awk -v a="$s" -v b="$b" 'BEGIN {printf "%.2f", a / b}')"

# The same upgrade through the window and by zentrikctl.exe in turn, each alone on COM5 (the
# window is started before its upgrade and closed after it, untimed: an open port's event wait
# costs CPU under wine, see below, which would slow the other program down).
start_window() {
    (cd "$1" && exec wine ./zentrik.exe) >>"$work/window.out" 2>&1 &
    window_pid=$!
    driver frame-wait 60
}
stop_window() {
    driver close 30
    wait "$window_pid" 2>/dev/null || true
    window_pid=
}
window_upgrade() { driver upgrade 'C:\Zentrik\firmware.eep' 600 >>"$work/window-upgrade.txt"; }
start_window "$app"
window_upgrade  # warm-up
stop_window
window_times=() ctl_times=()
for round in $(seq "$rounds"); do
    start_window "$app"
    window_times+=("$(elapsed_ms window_upgrade)")
    stop_window
    ctl_times+=("$(elapsed_ms wine_run)")
    echo "round $round: upgrade through zentrik.exe's window ${window_times[-1]} ms," \
        "zentrikctl.exe ${ctl_times[-1]} ms"
done
w=$(median "${window_times[@]}")
c=$(median "${ctl_times[@]}")
echo "median: upgrade through the window $w ms, zentrikctl.exe $c ms, ratio $(awk -v a="$w" -v b="$c" 'BEGIN {printf "%.2f", a / b}')"
echo "(inside the driver, whole upgrade and transfer in ms per run: $(tail -n "$rounds" "$work/window-upgrade.txt" | tr '\n' ';'))"

# Idle for 10 seconds: the CPU time of the whole process and of its window's thread (the
# process's first), connected (the port's event wait open) and without a controller.
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "$1"; }
idle() {
    local what=$1 process thread
    sleep 2
    process=$(ticks "/proc/$window_pid/stat")
    thread=$(ticks "/proc/$window_pid/task/$window_pid/stat")
    sleep 10
    process=$(($(ticks "/proc/$window_pid/stat") - process))
    thread=$(($(ticks "/proc/$window_pid/task/$window_pid/stat") - thread))
    echo "idle, $what: zentrik.exe used $((process * 1000 / hz)) ms of CPU in 10 s," \
        "its window's thread $((thread * 1000 / hz)) ms"
}
start_window "$app"
idle "connected"
stop_window
bare=$WINEPREFIX/drive_c/ZentrikBare
rm -rf "$bare"
mkdir -p "$bare"
cp build/mingw/ui/win32/zentrik.exe "$bare/"
start_window "$bare"
idle "without a controller"
stop_window

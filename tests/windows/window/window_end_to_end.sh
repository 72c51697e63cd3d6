#!/usr/bin/env bash
# zentrik.exe under wine against the Linux simulator, driven from outside by window_driver.exe
# as a user would: the vendor's library (our stand-in) beside the program, COM5 of the prefix
# mapped to the simulator's pseudo-terminal. It starts connected, downloads the simulator's
# configuration into the form, opens a configuration file and uploads it (the simulator
# records what it stored), shows the controller's information, upgrades the firmware through
# the progress dialog (the simulator writes the flashed image) and saves Zentrik.ini at exit;
# started with a file it opens it, and a second start hands its file over to it. Without the
# library it finds the controller in the system's own list of ports: registered after the
# start (Scan For Connection, then a removal and an arrival message) and before it. And what
# must be survived: hostile configuration files opened, the simulator stopped during a
# download, an upload and an upgrade, the program killed while it saves Zentrik.ini and a
# configuration file; and its first size at 192 dpi.
#   window_end_to_end.sh SIMULATOR ZENTRIK_EXE DRIVER_EXE STANDIN_DLL REGISTRY_FILE WORK_FOLDER
# Needs WINEPREFIX (a prefix of its own, with a display: DISPLAY set).
set -Eeuo pipefail
sim=$1 window=$2 driver=$3 dll=$4 registry=$5 work=$6
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
: "${DISPLAY:?DISPLAY must name the display}"
export WINEDEBUG=-all
here=$(cd "$(dirname "$0")" && pwd)
data=$here/../../data

fail() {
    echo "window_end_to_end: $*" >&2
    exit 1
}
trap 'fail "line $LINENO: \"$BASH_COMMAND\" failed"' ERR

[[ -x $sim ]] || fail "no simulator at $sim (build the Linux tree first)"
rm -rf "$work"
mkdir -p "$work"

app=$WINEPREFIX/drive_c/ZentrikWindow
bare=$WINEPREFIX/drive_c/ZentrikWindowBare  # the same without the vendor's library
sim_pid=
window_pid=
# The controller as a device of the Ports class (data/ports_class.reg), while registered.
system_device='HKLM\SYSTEM\CurrentControlSet\Enum\USB\VID_10C4&PID_EA60\030A000000000001'
register() {
    wine reg import "$(wine winepath -w "$here/../data/ports_class.reg" 2>/dev/null | tr -d '\r')" \
        >/dev/null 2>&1 || fail "cannot import data/ports_class.reg"
}
unregister() {
    wine reg delete "$system_device" /f >/dev/null 2>&1 || true
}
dpi_changed=
unmanaged=
# The screen resolution the prefix's next session starts with (see scripts/wine_dpi.sh).
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
cleanup() {
    [[ -n $window_pid ]] && kill "$window_pid" 2>/dev/null || true
    [[ -n $sim_pid ]] && stop_sim
    # The other window tests of this prefix expect no controller in the system's list.
    unregister
    # The test runs alone: nothing else uses the prefix now. The display tests after it see
    # the usual resolution again.
    [[ -n $dpi_changed ]] && set_dpi 96
    [[ -n $unmanaged ]] &&
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
wineserver -k 2>/dev/null || true
rm -rf "$app" "$bare"
mkdir -p "$app" "$bare"
cp "$window" "$dll" "$driver" "$app/"
cp "$window" "$bare/"

# The simulator starts with a configuration of its own, not the program's defaults, so that a
# download shows in the form. It serves until its standard input closes.
com=$WINEPREFIX/dosdevices/com5
start_sim() {
    rm -f "$com" "$work/sim-input"
    mkfifo "$work/sim-input"
    "$sim" --link "$com" --config "$data/custom_crlf.ini" --record "$work/record.txt" \
        --flash-out "$work/flashed.bin" <"$work/sim-input" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    exec 3>"$work/sim-input"
    for _ in $(seq 100); do
        [[ -L $com ]] && break
        kill -0 "$sim_pid" 2>/dev/null || fail "the simulator ended: $(cat "$work/sim.err")"
        sleep 0.05
    done
    [[ -L $com ]] || fail "the simulator made no device link"
}
# Ends the simulator, stopped or not.
stop_sim() {
    exec 3>&- || true
    kill -CONT "$sim_pid" 2>/dev/null || true
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
}
start_sim

export ZENTRIK_STANDIN_BRIDGES="10c4:ea60:030A000000000001"
unset ZENTRIK_PORT

drive() {
    wine "$app/window_driver.exe" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
expect() {
    local what=$1 got=$2 wanted=$3
    [[ $got == "$wanted" ]] || fail "$what: \"$got\", expected \"$wanted\""
    echo "  ok: $what: $got"
}
expect_in() {
    local what=$1 text=$2 part=$3
    [[ $text == *"$part"* ]] || fail "$what: \"$text\" lacks \"$part\""
    echo "  ok: $what"
}
start_window() {
    local folder=$1
    (cd "$folder" && exec wine ./zentrik.exe "${@:2}") >"$work/window.out" 2>&1 &
    window_pid=$!
    drive frame-wait 60 >/dev/null || fail "zentrik.exe did not come up: $(cat "$work/window.out")"
}
# Waits until the form's control ID shows TEXT.
wait_form() {
    local what=$1 id=$2 wanted=$3 got
    for _ in $(seq 40); do
        got=$(drive form-text "$id")
        [[ $got == "$wanted" ]] && break
        sleep 0.2
    done
    expect "$what" "$got" "$wanted"
}
wait_window_end() {
    for _ in $(seq 200); do
        kill -0 "$window_pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$window_pid" 2>/dev/null || fail "zentrik.exe did not end"
    window_pid=
}

# The window shows the whole form in each direction, or is as large as the screen's work area
# in that direction (and never beyond it).
expect_fit() {
    local fit
    fit=$(drive fits) || fail "no main window to measure"
    [[ $fit == *"within the work area"* && $fit != *" cut"* ]] || fail "first size at $1: $fit"
    echo "  ok: first size at $1: $fit"
}

echo "== The first size at 192 dpi"
set_dpi 192
dpi_changed=1
start_window "$bare"
expect_fit "192 dpi"
drive close 30
wait_window_end
set_dpi 96
dpi_changed=

wineserver -p 2>"$work/wineserver.err"
wine reg import "$(wine winepath -w "$registry" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1 ||
    fail "cannot import $registry"
# Xvfb has no window manager, and wine waits for one, about a second each time, to map or
# withdraw a top-level window of its own (every box, dialog and file chooser); unmanaged windows
# come and go at once, so that a kill's moment falls near the save it is aimed at.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
unmanaged=1

# A wider reply interval for the upgrade's echoes, as end_to_end.sh gives zentrikctl.exe:
# wine reports serial events late now and then.
printf '[Zentrik Settings]\r\nTimeout=250\r\n' >"$app/Zentrik.ini"
cp "$app/Zentrik.ini" "$bare/Zentrik.ini"

echo "== zentrik.exe with the controller on COM5"
start_window "$app"
expect_fit "96 dpi"
expect "connection button" "$(drive button 32776)" "Connected 1"
for id in 32772 32773 32774; do
    expect "button $id" "$(drive button $id | sed 's/.* //')" "1"
done

echo "== Download"
before=$(drive form-text 1003)
drive command 32773
drive dialog-wait "Config Downloaded" 30 >/dev/null || fail "no notice after the download"
drive press "Config Downloaded" 1
drive dialog-gone "Config Downloaded" 10
expect "RPM Cutoff after the download (was $before)" "$(drive form-text 1003)" "7200 RPM"

echo "== Open a configuration file and Upload it"
tr -d '\r' <"$data/custom_crlf.ini" | sed -n '/^\[Zentrik Config\]/,/^\[/p' | sed '/^\[Zentrik Settings\]/,$d' |
    sed 's/^Stage 1 RPM Max=.*/Stage 1 RPM Max=6800/' |
    { echo "; configuration for the window's end-to-end run"; cat; } | sed 's/$/\r/' \
    >"$app/other.zcfg"
grep -q "Stage 1 RPM Max=6800" "$app/other.zcfg" || fail "no configuration file made"
drive command 32781
drive dialog-wait "Open Configuration" 30 >/dev/null
drive set-text "Open Configuration" 1148 'C:\ZentrikWindow\other.zcfg' ||
    drive set-text "Open Configuration" 1152 'C:\ZentrikWindow\other.zcfg'
drive press "Open Configuration" 1
drive dialog-gone "Open Configuration" 10
expect "RPM Cutoff from the file" "$(drive form-text 1003)" "6800 RPM"
uploads_before=$(grep -c . "$work/record.txt" || true)
drive command 32772
drive dialog-wait "Config Uploaded" 30 >/dev/null || fail "no notice after the upload"
drive press "Config Uploaded" 1
drive dialog-gone "Config Uploaded" 10
# The simulator recorded the upload frame (type 2: 22 37 49 F2 02 ...) with 6800 (1A90) in it.
upload=$(tail -n +"$((uploads_before + 1))" "$work/record.txt" | tr -d ' ' | tr 'a-f' 'A-F' |
    grep '^223749F202' | tail -1)
[[ -n $upload ]] || fail "the simulator recorded no upload: $(tail -3 "$work/record.txt")"
expect_in "the uploaded record holds Stage 1 RPM Cutoff 6800" "$upload" "1A90"
# What the controller now holds comes back by a download.
drive command 32773
drive dialog-wait "Config Downloaded" 30 >/dev/null
drive press "Config Downloaded" 1
drive dialog-gone "Config Downloaded" 10
expect "RPM Cutoff downloaded after the upload" "$(drive form-text 1003)" "6800 RPM"

echo "== Controller Info, with a download finishing while its box is up"
drive command 32774
info=$(drive dialog-wait "Controller Info" 30) || fail "no Controller Info box; up instead: $(drive box-wait "" 1)"
expect_in "Controller Info box" "$info" "030A000000000001"
expect_in "Controller Info box" "$info" "0100"
# The box's own message loop delivers the port's notifications and the reply timer: a
# download chosen now completes under it and shows its notice.
drive command 32773
drive dialog-wait "Config Downloaded" 30 >/dev/null ||
    fail "the download did not complete while a box was up"
drive press "Config Downloaded" 1
drive press "Controller Info" 1
drive dialog-gone "Controller Info" 10

echo "== Upgrade Firmware"
python3 - "$app/firmware.eep" <<'PY'
import sys, zlib
image = bytearray(((i * 37 + 11) ^ (i >> 7)) & 0xFF for i in range(30720))
image[0:3] = bytes([0x02, 0x00, 0x0A])  # version 0200, product code 0A
open(sys.argv[1], "wb").write(image + zlib.crc32(image).to_bytes(4, "big"))
PY
upgrade() {
    drive command 32775
    # "Upgrade the controller's firmware?", then the file.
    drive yes-until "Open" 30
    drive set-text "Open" 1148 'C:\ZentrikWindow\firmware.eep' ||
        drive set-text "Open" 1152 'C:\ZentrikWindow\firmware.eep'
    drive press "Open" 1
    drive yes-until "Dialog" 60
    # The whole transfer runs inside the progress dialog; its OK shows with the result.
    drive shown-wait "Dialog" 1 300 || fail "the upgrade did not finish"
    result=$(drive text "Dialog" 1049)
    drive press "Dialog" 1
    drive dialog-gone "Dialog" 10
}
upgrade
if [[ $result != "The update was successful!"* ]]; then
    [[ $result == *"did not respond to the upgrade process"* ]] || fail "upgrade failed: $result"
    # As for zentrikctl.exe: wine now and then misses an echo the simulator did send.
    echo "window_end_to_end: NOTE: wine missed an echo during the upgrade; trying it once more"
    upgrade
fi
expect_in "progress dialog's result" "$result" "The update was successful!"
[[ -f $work/flashed.bin ]] || fail "the simulator flashed nothing"
cmp <(head -c 30720 "$app/firmware.eep") "$work/flashed.bin" ||
    fail "the flashed image differs from the file"
echo "  ok: the flashed image is the file's"

echo "== Hostile configuration files: a box each, the document unchanged"
form_before=$(drive form-text 1003)
head -c 4096 /dev/urandom >"$app/binary.zcfg"
truncate -s 80M "$app/large.zcfg"
mkdir -p "$app/folder.zcfg"
choose_to_open() {
    drive command 32781
    drive dialog-wait "Open Configuration" 30 >/dev/null
    drive set-text "Open Configuration" 1148 "$1" || drive set-text "Open Configuration" 1152 "$1"
    drive press "Open Configuration" 1
}
for name in binary large; do
    choose_to_open "C:\\ZentrikWindow\\$name.zcfg"
    box=$(drive box-wait "Open Configuration" 30) || fail "no box for the $name file"
    expect_in "the box for the $name file" "$box" "buttons: OK | icon | "
    drive press "Open Configuration" 1
    drive dialog-gone "Open Configuration" 10
    expect "RPM Cutoff after opening the $name file" "$(drive form-text 1003)" "$form_before"
done
# The chooser takes a folder for a place to look in, not for a file: it stays, showing the
# folder, and the program opens nothing.
choose_to_open 'C:\ZentrikWindow\folder.zcfg'
! drive box-wait "Open Configuration" 2 >/dev/null 2>&1 || fail "a folder was opened as a file"
drive dialog-wait "Open Configuration" 5 >/dev/null || fail "the chooser went away on a folder"
drive press "Open Configuration" 2
drive dialog-gone "Open Configuration" 10
expect "RPM Cutoff after choosing the folder" "$(drive form-text 1003)" "$form_before"

echo "== The simulator stops answering: an upgrade, a download and an upload"
fault_start=$(date +%s)
# Stopped in the middle of the word transfer: the progress dialog says the controller did not
# respond, and nothing claims success.
drive command 32775
drive yes-until "Open" 30 >/dev/null
drive set-text "Open" 1148 'C:\ZentrikWindow\firmware.eep' ||
    drive set-text "Open" 1152 'C:\ZentrikWindow\firmware.eep'
drive press "Open" 1
drive yes-until "Dialog" 60 >/dev/null
for _ in $(seq 300); do
    step=$(drive text "Dialog" 1049)
    [[ $step != "Sending Packet"* ]] || break
    [[ $step == "Beginning"* ]] || fail "the upgrade ended before the simulator stopped: $step"
done
kill -STOP "$sim_pid"
drive shown-wait "Dialog" 1 60 || fail "the upgrade did not end with the simulator stopped"
result=$(drive text "Dialog" 1049)
expect_in "progress dialog's result" "$result" "did not respond to the upgrade process"
drive press "Dialog" 1
drive dialog-gone "Dialog" 10
# Stopped before each request: the time-out box after the automatic retries, and no notice.
for command in "32773 Config Downloaded" "32772 Config Uploaded"; do
    drive command "${command%% *}"
    box=$(drive box-wait "Timeout Error" 60) || fail "no time-out box for ${command#* }"
    expect_in "time-out box instead of \"${command#* }\"" "$box" "buttons: Abort Retry Ignore |"
    drive press "Timeout Error" 3
    drive dialog-gone "Timeout Error" 10
    ! drive dialog-wait "${command#* }" 1 >/dev/null 2>&1 || fail "\"${command#* }\" was shown"
done
expect "RPM Cutoff after the failed download" "$(drive form-text 1003)" "$form_before"
echo "  (the faults took $(($(date +%s) - fault_start)) s)"

echo "== Exit saves Zentrik.ini"
drive close 30
wait_window_end
# The stopped simulator is left in the middle of an upgrade; the cases below need a fresh one.
stop_sim
start_sim
ini=$(tr -d '\r' <"$app/Zentrik.ini")
expect_in "Zentrik.ini" "$ini" "[Zentrik Config]"
expect_in "Zentrik.ini" "$ini" "Stage 1 RPM Max=6800"
expect_in "Zentrik.ini keeps the settings" "$ini" "Timeout=250"

echo "== zentrik.exe FILE, and a second start handing its file to the running window"
sed 's/^Stage 1 RPM Max=.*/Stage 1 RPM Max=6500\r/' "$app/other.zcfg" >"$app/start.zcfg"
sed 's/^Stage 1 RPM Max=.*/Stage 1 RPM Max=6600\r/' "$app/other.zcfg" >"$app/handed.zcfg"
start_window "$app" start.zcfg
wait_form "RPM Cutoff from the command line's file" 1003 "6500 RPM"
# Handed over while a box is up, the file waits for the box.
drive command 57664
drive dialog-wait "About Halvorn Zentrik" 30 >/dev/null
(cd "$app" && timeout 60 wine ./zentrik.exe handed.zcfg) >"$work/second.out" 2>&1 ||
    fail "the second start did not hand over: $(cat "$work/second.out")"
echo "  ok: the second start handed its file over and ended"
expect "RPM Cutoff while the box is up" "$(drive form-text 1003)" "6500 RPM"
drive press "About Halvorn Zentrik" 1
drive dialog-gone "About Halvorn Zentrik" 10
wait_form "RPM Cutoff from the handed file once the box has gone" 1003 "6600 RPM"
drive close 30
wait_window_end

echo "== zentrik.exe without the vendor's library, nothing in the system's list"
unregister
start_window "$bare"
expect "connection button" "$(drive button 32776)" "Disconnected 0"
for id in 32772 32773 32774; do
    expect "button $id" "$(drive button $id | sed 's/.* //')" "0"
done

echo "== The controller registered: Scan For Connection finds it"
register
drive command 32780
for _ in $(seq 50); do
    [[ $(drive button 32776) == "Connected 1" ]] && break
    sleep 0.1
done
expect "connection button after the scan" "$(drive button 32776)" "Connected 1"

echo "== Removed and back: the device-change messages follow it"
unregister
drive device-change removal
expect "connection button after the removal" "$(drive button 32776)" "Disconnected 0"
register
drive device-change arrival
expect "connection button after the arrival" "$(drive button 32776)" "Connected 1"
expect "button 32773 after the arrival" "$(drive button 32773 | sed 's/.* //')" "1"
drive close 30
wait_window_end

echo "== zentrik.exe without the vendor's library, the controller registered: connected at start"
start_window "$bare"
expect "connection button" "$(drive button 32776)" "Connected 1"
drive command 32774
info=$(drive dialog-wait "Controller Info" 30) || fail "no Controller Info box; up instead: $(drive box-wait "" 1)"
expect_in "Controller Info box" "$info" "030A000000000001"
drive press "Controller Info" 1
drive dialog-gone "Controller Info" 10
drive close 30
wait_window_end
unregister

# ---- killed while saving -----------------------------------------------------------------------
# The file is always the old one or the new one, whole, and no temporary file stays beside it
# once a save has run again. Each kill comes at a random moment within one and a half times the
# time the unkilled save took to write the file; the program runs without the vendor's library, for a
# quick start, and is started by the driver, which kills it.
kills_start=$(date +%s)
bare_exe='C:\ZentrikWindowBare\zentrik.exe'
cr=$'\r'
state_of() {
    if cmp -s "$1" "$2"; then
        echo old
    elif cmp -s "$1" "$3"; then
        echo new
    else
        echo other
    fi
}
kill_rounds() {
    local what=$1 target=$2 old=$3 new=$4 span=$5 wanted=$6 verb=$7
    local kills=0 olds=0 news=0 leftovers="" round result state delay name
    for round in $(seq $((wanted * 3))); do
        ((kills < wanted)) || break
        cp "$old" "$target"
        delay=$(((RANDOM * 32768 + RANDOM) % span))
        if [[ $verb == close ]]; then
            result=$(drive close-kill "$bare_exe" "$delay")
        else
            result=$(drive save-kill "$bare_exe" 'C:\ZentrikWindowBare\kill.zcfg' "$delay")
        fi
        [[ $result == killed* ]] || continue
        kills=$((kills + 1))
        state=$(state_of "$target" "$old" "$new")
        [[ $state != other ]] || fail "$what: a kill left a file that is neither the old nor the new one"
        [[ $state == old ]] && olds=$((olds + 1)) || news=$((news + 1))
        # Wine removes a killed save's file as it closes the program's handles, a moment later.
        if compgen -G "$target.tmp-*" >/dev/null && sleep 0.2; then
            for name in "$target".tmp-*; do
                if [[ -e $name && " $leftovers " != *" $name "* ]]; then
                    leftovers+=" $name"
                fi
            done
        fi
    done
    leftovers=$(wc -w <<<"$leftovers")
    ((kills >= wanted)) || fail "$what: only $kills of $wanted kills came before the program ended"
    echo "  ok: $what: $kills kills left the old file $olds times and the new one $news times," \
        "$leftovers temporary files left beside it for the next save to remove"
}

echo "== zentrik.exe killed while it saves Zentrik.ini"
printf '[Zentrik Settings]\r\nTimeout=250\r\n' >"$bare/Zentrik.ini"
start_window "$bare"
drive close 30
wait_window_end
# The file as the program writes it, with one value in a form the program writes otherwise:
# the save puts it back as it writes it.
cp "$bare/Zentrik.ini" "$work/new.ini"
sed "s/^Stage 1 MAP End=10\.00$cr\$/Stage 1 MAP End=9.999$cr/" "$work/new.ini" >"$work/old.ini"
! cmp -s "$work/old.ini" "$work/new.ini" || fail "no old Zentrik.ini made"
cp "$work/old.ini" "$bare/Zentrik.ini"
saved=$(drive close-kill "$bare_exe" 30000000 'C:\ZentrikWindowBare\Zentrik.ini')
cmp -s "$bare/Zentrik.ini" "$work/new.ini" || fail "the unkilled close saved something else"
[[ $saved == *" saved "* ]] || fail "the unkilled close did not write Zentrik.ini: $saved"
span=$((${saved##* } * 3 / 2))
kill_rounds "Zentrik.ini" "$bare/Zentrik.ini" "$work/old.ini" "$work/new.ini" "$span" 30 close
start_window "$bare"
drive close 30
wait_window_end
! compgen -G "$bare/Zentrik.ini.tmp-*" >/dev/null || fail "a temporary file stayed beside Zentrik.ini"

echo "== zentrik.exe killed while it saves a configuration file"
zcfg=$bare/kill.zcfg
echo "not yet" >"$zcfg"
saved=$(drive save-kill "$bare_exe" 'C:\ZentrikWindowBare\kill.zcfg' 30000000)
[[ $saved == *" saved "* ]] || fail "the unkilled save did not write the file: $saved"
cp "$zcfg" "$work/new.zcfg"
sed "s/^Stage 1 RPM Max=5000$cr\$/Stage 1 RPM Max=6800$cr/" "$work/new.zcfg" >"$work/old.zcfg"
! cmp -s "$work/old.zcfg" "$work/new.zcfg" || fail "no old configuration file made"
span=$((${saved##* } * 3 / 2))
kill_rounds "the configuration file" "$zcfg" "$work/old.zcfg" "$work/new.zcfg" "$span" 20 save
drive save-kill "$bare_exe" 'C:\ZentrikWindowBare\kill.zcfg' 30000000 >/dev/null
cmp -s "$zcfg" "$work/new.zcfg" || fail "the last save wrote something else"
! compgen -G "$zcfg.tmp-*" >/dev/null || fail "a temporary file stayed beside the configuration file"
echo "  (the kills took $(($(date +%s) - kills_start)) s)"

echo "window_end_to_end: all steps passed"

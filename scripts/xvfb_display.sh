#!/usr/bin/env bash
# A private X display for the tests that make windows under wine.
#   scripts/xvfb_display.sh start DIR          - start Xvfb; DIR/display then holds ":N"
#   scripts/xvfb_display.sh run DIR COMMAND... - run COMMAND with DISPLAY from DIR/display
#   scripts/xvfb_display.sh stop DIR           - stop the Xvfb that `start` started
# Xvfb picks a free display number itself (-displayfd) and writes it once it accepts
# clients, so runs side by side (other builds, other users) never meet. The server runs in
# DIR and is known by that: `stop`, and a `start` after an interrupted run, end only the Xvfb
# whose working folder is DIR.
set -euo pipefail

verb=${1:?usage: xvfb_display.sh start|run|stop DIR [COMMAND...]}
dir=${2:?usage: xvfb_display.sh start|run|stop DIR [COMMAND...]}
shift 2

fail() {
    echo "xvfb_display: $*" >&2
    exit 1
}

# The pid of the Xvfb serving DIR, if it still runs.
our_server() {
    local pid
    pid=$(cat "$dir/xvfb.pid" 2>/dev/null) || return 1
    [[ $pid =~ ^[0-9]+$ ]] || return 1
    [[ $(cat "/proc/$pid/comm" 2>/dev/null) == Xvfb ]] || return 1
    [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == "$dir" ]] || return 1
    echo "$pid"
}

stop_server() {
    local pid
    if pid=$(our_server); then
        kill "$pid"
        # Xvfb removes its socket and lock file as it ends; wait for that, five seconds at most.
        for _ in $(seq 50); do
            [[ -e /proc/$pid ]] || break
            sleep 0.1
        done
        if [[ -e /proc/$pid ]]; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$dir/display" "$dir/xvfb.pid" "$dir/displayfd"
}

case $verb in
start)
    command -v Xvfb >/dev/null || fail "Xvfb is missing (scripts/setup.sh ci installs it)"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd -P)
    stop_server
    fifo=$dir/displayfd
    mkfifo "$fifo"
    # Detached from the test: its own session, and none of the test's output streams, so
    # that ctest does not wait for it to end.
    (cd "$dir" && exec setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$fifo" </dev/null >"$dir/xvfb.log" 2>&1) &
    echo $! >"$dir/xvfb.pid"
    number=
    if ! read -r -t 30 number <"$fifo" || [[ ! $number =~ ^[0-9]+$ ]]; then
        stop_server
        fail "Xvfb gave no display number: $(cat "$dir/xvfb.log")"
    fi
    rm -f "$fifo"
    our_server >/dev/null || fail "Xvfb ended: $(cat "$dir/xvfb.log")"
    echo ":$number" >"$dir/display"
    echo "Xvfb on :$number (pid $(cat "$dir/xvfb.pid"))"
    ;;
run)
    (($# > 0)) || fail "run needs a command"
    dir=$(cd "$dir" 2>/dev/null && pwd -P) || fail "no folder $dir: start the display first"
    display=$(cat "$dir/display" 2>/dev/null) || fail "no display in $dir: start it first"
    our_server >/dev/null || fail "the Xvfb of $dir no longer runs"
    DISPLAY=$display exec "$@"
    ;;
stop)
    if [[ -d $dir ]]; then
        dir=$(cd "$dir" && pwd -P)
        stop_server
    fi
    ;;
*)
    fail "unknown verb $verb"
    ;;
esac

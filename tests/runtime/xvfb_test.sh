#!/usr/bin/env bash
# The program on a real X server (Xvfb): the main window comes to rest at the bottom centre
# after its drop animation, and Start, Stop and Exit work from the keys and the menu bar.
#   xvfb_test.sh PROGRAM OUTPUT_DIR        (inside Xvfb it runs itself with --inside)
# A screenshot of the resting window is left in OUTPUT_DIR/runtime-main-window.png when
# ImageMagick's import is installed.
set -euo pipefail

program=$1
out=$2

if [ "${3:-}" != "--inside" ]; then
    exec "$(dirname "$0")/../with_xvfb.sh" "$0" "$program" "$out" --inside
fi

unset QT_QPA_PLATFORM
# A private directory of window classes: other programs on the machine keep their instances.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
export QIV_TEST_PROGRAM=report
log="$out/runtime-xvfb.log"
pid=
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT

fail() {
    echo "runtime Xvfb test failed: $*" >&2
    echo "--- program output ---" >&2
    cat "$log" >&2
    exit 1
}

# Up to 30 s: the sanitizer builds run beside other suites on two cores.
wait_for() {
    for _ in $(seq 1 300); do
        if eval "$1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

start() {
    "$program" >"$log" 2>&1 &
    pid=$!
    wait_for 'xdotool search --name "QIVLIB 7.3  2009/4/30"' || fail "no main window"
    wid=$(xdotool search --name "QIVLIB 7.3  2009/4/30" | head -1)
    wait_for 'grep -q "instance 0" "$log"' || fail "the worker did not start"
}

lines() {
    grep -c "^$1\$" "$log" || true
}

# Clicks the menu bar at x (client coordinates); the items start at the left edge.
click_menu() {
    xdotool mousemove --window "$wid" "$1" 8 click 1
}

finish() {
    local code=0
    wait "$pid" || code=$?
    pid=
    [ "$code" = 0 ] || fail "exit code $code"
}

# At rest: centred, its bottom edge on the screen's. The drop animation takes longer on a busy
# machine, so the place is awaited rather than read once.
resting() {
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    [ "$X" = $(((1280 - WIDTH) / 2)) ] && [ $((Y + HEIGHT)) = 1024 ]
}

start
wait_for resting ||
    fail "at ($X, $Y) with size ${WIDTH}x$HEIGHT, not centred on the screen's bottom edge"
if command -v import >/dev/null; then
    import -window root -crop 400x120+440+904 "$out/runtime-main-window.png" || true
fi

xdotool key --window "$wid" s
wait_for '[ "$(lines running)" = 1 ]' || fail "key S did not start the user program"
xdotool key --window "$wid" c
wait_for '[ "$(lines stopped)" = 1 ]' || fail "key C did not stop the user program"
click_menu 25
wait_for '[ "$(lines running)" = 2 ]' || fail "menu Start did not start the user program"
click_menu 90
wait_for '[ "$(lines stopped)" = 2 ]' || fail "menu Stop did not stop the user program"
click_menu 150
wait_for '! kill -0 $pid' || fail "menu Exit did not end the program"
finish

start
# The window is gone before the key is released, which xdotool reports as an error.
xdotool key --window "$wid" x 2>/dev/null || true
wait_for '! kill -0 $pid' || fail "key X did not end the program"
finish
echo "runtime Xvfb test passed"

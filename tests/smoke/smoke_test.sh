#!/usr/bin/env bash
# Smoke test on a real X server: starts the demonstration program under Xvfb on the xcb
# platform, checks that both windows exist where asked, that a move made through the X server
# is corrected by the window procedure (WM_MOVING) and a resize refused (WM_SIZING), and that
# the program exits cleanly when its main window gets the Exit key.
#   smoke_test.sh DEMO OUTPUT_DIR        (inside Xvfb it runs itself with --inside)
set -euo pipefail

demo=$1
out=$2

if [ "${3:-}" != "--inside" ]; then
    exec "$(dirname "$0")/../with_xvfb.sh" "$0" "$demo" "$out" --inside
fi

unset QT_QPA_PLATFORM
log="$out/smoke-demo.log"
"$demo" >"$log" 2>&1 &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT

fail() {
    echo "smoke test failed: $*" >&2
    echo "--- program output ---" >&2
    cat "$log" >&2
    exit 1
}

# Polls a command for up to ten seconds.
wait_for() {
    for _ in $(seq 1 100); do
        if eval "$1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

geometry() {
    xdotool getwindowgeometry "$1" | awk '/Position/ {print $2} /Geometry/ {print $2}' | tr '\n' ' '
}

wait_for 'xdotool search --name "^QIV demo main$"' || fail "main window not found"
wait_for 'xdotool search --name "^QIV demo worker$"' || fail "worker window not found"
main=$(xdotool search --name "^QIV demo main$" | head -1)
worker=$(xdotool search --name "^QIV demo worker$" | head -1)

# Without a window manager the frame is the window itself: the outer rectangle asked for.
[ "$(geometry "$worker")" = "400,300 320x240 " ] || fail "worker window at $(geometry "$worker")"

xdotool windowmove "$worker" 333 222
wait_for 'grep -q "worker at 330 220 650 460" "$log"' || fail "move not corrected"
xdotool windowsize "$worker" 500 400
wait_for 'grep -q "worker WM_SIZING" "$log"' || fail "no WM_SIZING"
wait_for '[ "$(geometry "$worker")" = "330,220 320x240 " ]' ||
    fail "resize not refused: $(geometry "$worker")"

if command -v import >/dev/null; then
    sleep 0.3
    import -window root "$out/smoke-screen.png" || true
fi

xdotool windowfocus --sync "$main"
xdotool key x
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "program did not exit"
status=0
wait "$pid" || status=$?
trap - EXIT
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "worker finished" "$log" || fail "worker did not finish"
echo "smoke test passed"

#!/usr/bin/env bash
# How long Exit takes to end the stereo program in the middle of a run: the program is started on
# a stereo photo under a private Xvfb server, Start is clicked in the menu bar, and once the
# depth map's window is up (the loop at its pace, a pass possibly under way) Exit is clicked.
# With "pass", ↑ is clicked in the button box first and Exit 0.2 s later, so that Exit comes
# just after a depth pass has started (on a camera-size photo a pass takes about a second).
# Printed: the time from the click to the end of the process, best and median of the
# repetitions, and the machine's load. The clicks come from one xdotool that reads its commands
# from a pipe, so the time holds no process start; the end is the shell's wait for the child, and
# the clock is the shell's own (a process started to read it takes time of its own under load).
#   bench/app/exit_time.sh PROGRAM PHOTO [REPETITIONS [pass]]
# e.g. bench/app/exit_time.sh build/bench/app/qivstereo app/sample/garden_pair.jpg 9
#      build/tools/scene/qiv-scene sample /tmp/camera.jpg 6000 2600
#      bench/app/exit_time.sh build/bench/app/qivstereo /tmp/camera.jpg 9 pass
set -euo pipefail

program=$1
photo=$2
repetitions=${3:-9}
mode=${4:-idle}

if [ "${5:-}" != "--inside" ]; then
    exec "$(dirname "$0")/../../tests/with_xvfb.sh" "$0" "$program" "$photo" "$repetitions" \
        "$mode" --inside
fi

unset QT_QPA_PLATFORM
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
log=$work/log
pid=
clicker=
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; [ -n "$clicker" ] && kill $clicker 2>/dev/null;
      rm -rf "$work"' EXIT

mkfifo "$work/clicks"
xdotool - <"$work/clicks" >/dev/null 2>&1 &
clicker=$!
exec 7>"$work/clicks"

wait_for() {
    for _ in $(seq 1 600); do
        if eval "$1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.05
    done
    echo "exit_time: gave up waiting for: $1" >&2
    exit 1
}


times=()
for _ in $(seq 1 "$repetitions"); do
    "$program" "$photo" >"$log" 2>&1 &
    pid=$!
    wait_for 'xdotool search --name "QIVLIB 7.3  2009/4/30"'
    wid=$(xdotool search --name "QIVLIB 7.3  2009/4/30" | head -1)
    # Start from the menu bar until the run's depth window appears (a click during the drop
    # animation may miss).
    for _ in $(seq 1 100); do
        echo "mousemove --window $wid 25 8 click 1" >&7
        sleep 0.2
        if xdotool search --name "CV depth" >/dev/null 2>&1; then
            break
        fi
    done
    wait_for 'xdotool search --name "CV depth"'
    if [ "$mode" = pass ]; then
        # ↑ is the second of the button box's four columns, in its first of three rows.
        sleep 0.5
        box=$(xdotool search --name '^ButtonBox$' | head -1)
        echo "mousemove --window $box 154 15 click 1" >&7
        echo "mousemove --window $wid 150 8" >&7
        sleep 0.2
    else
        echo "mousemove --window $wid 150 8" >&7
        sleep 0.5
    fi
    start=${EPOCHREALTIME/[.,]/}
    echo "click 1" >&7
    wait "$pid" || true
    end=${EPOCHREALTIME/[.,]/}
    pid=
    times+=($(((10#$end - 10#$start) / 1000)))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
best=$(echo "$sorted" | head -1)
median=$(echo "$sorted" | sed -n "$(((${#times[@]} + 1) / 2))p")
max=$(echo "$sorted" | tail -1)
what="during a run"
[ "$mode" = pass ] && what="just after a depth pass started"
echo "Exit ${what}: best ${best} ms, median ${median} ms, max ${max} ms of ${#times[@]}" \
    "(all: ${times[*]});" \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"

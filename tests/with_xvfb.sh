#!/usr/bin/env bash
# Runs a command on a private Xvfb server of 1280×1024. The server picks a free display itself
# and reports it once it takes connections, so servers started side by side (tests running in
# parallel, or one still shutting down) never collide, as display numbers chosen from lock
# files can. It never resets: a server that resets when its last client leaves refuses the
# clients that connect meanwhile, such as a program started again right after another ended.
#   with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail

report=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$report" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$report"' EXIT

for _ in $(seq 1 300); do
    [ -s "$report" ] && break
    kill -0 "$server" 2>/dev/null || { echo "with_xvfb: the X server did not start" >&2; exit 1; }
    sleep 0.1
done
display=$(head -n 1 "$report")
[ -n "$display" ] || { echo "with_xvfb: the X server reported no display" >&2; exit 1; }
export DISPLAY=":$display"
unset XAUTHORITY

status=0
"$@" || status=$?
exit "$status"

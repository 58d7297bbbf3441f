#!/usr/bin/env bash
# How fast the command-line programs start and finish: for qiv-disparity, qivstereo --batch and
# qivstereo --help without further arguments (each answers with its usage or refusal), the number
# of shared libraries the program loads (ldd | wc -l) and the wall time of a run, best and median
# of the repetitions; then qiv-disparity on the 1000 x 750 garden pair (maxDisparity 100), in
# colour and in grey, beside the matcher's own time on that pair from bench_matcher, when the
# build has it. /bin/true gives
# the floor a process start costs on this machine. With a second build folder (for instance one
# of an earlier commit) its figures are printed beside, run for run interleaved.
#   bench/app/start_time.sh BUILD [REPETITIONS [EARLIER_BUILD]]
# e.g. bench/app/start_time.sh build/bench 101
set -euo pipefail

build=$1
repetitions=${2:-101}
earlier=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Median and best of the microsecond times in the file $1, in milliseconds.
summary() {
    sort -n "$1" | awk '{ t[NR] = $1 } END {
        printf "median %6.2f ms  best %6.2f ms", t[int((NR + 1) / 2)] / 1000, t[1] / 1000 }'
}

# Times "$@" into the file $1 once (the shell's own clock: a clock process would cost time of
# its own under load).
time_once() {
    local file=$1
    shift
    local start=${EPOCHREALTIME/[.,]/}
    "$@" >/dev/null 2>&1 || true
    local end=${EPOCHREALTIME/[.,]/}
    echo $((10#$end - 10#$start)) >>"$file"
}

# Runs each labelled command line in turn, repetitions times, and prints each one's figures.
#   compare LABEL1 'COMMAND1' LABEL2 'COMMAND2' ...
compare() {
    local -a labels=() commands=()
    while [ $# -gt 0 ]; do
        labels+=("$1")
        commands+=("$2")
        shift 2
    done
    local i
    for _ in $(seq 1 "$repetitions"); do
        for i in "${!commands[@]}"; do
            # shellcheck disable=SC2086 # the command line is split on purpose
            time_once "$work/times.$i" ${commands[$i]}
        done
    done
    for i in "${!commands[@]}"; do
        local libraries
        libraries=$(ldd "${commands[$i]%% *}" | wc -l)
        printf "%-44s %3s libraries  %s\n" "${labels[$i]}" "$libraries" \
            "$(summary "$work/times.$i")"
        rm -f "$work/times.$i"
    done
}

echo "== start: $repetitions runs each; load $(cut -d' ' -f1-3 /proc/loadavg)"
set -- "/bin/true" "/bin/true"
for dir in "$build" $earlier; do
    tag=""
    [ "$dir" != "$build" ] && tag=" (earlier)"
    set -- "$@" \
        "qiv-disparity$tag" "$dir/tools/disparity/qiv-disparity" \
        "qivstereo --batch$tag" "$dir/app/qivstereo --batch" \
        "qivstereo --help$tag" "$dir/app/qivstereo --help"
done
if [ -x "$build/app/qivstereo-batch" ]; then
    set -- "$@" "qivstereo-batch --batch (OpenCV)" "$build/app/qivstereo-batch --batch"
fi
compare "$@"

# The whole program on a pair against the matcher alone.
"$build/tools/scene/qiv-scene" garden "$work/l.png" "$work/r.png" "$work/t.png" 1000 750 100
runs=$(((repetitions + 1) / 4 + 1))
echo "== qiv-disparity on the 1000 x 750 garden pair, maxDisparity 100: $runs runs;" \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/tools/scene/qiv-scene" grey "$work/l.png" "$work/lg.png"
"$build/tools/scene/qiv-scene" grey "$work/r.png" "$work/rg.png"
set -- "qiv-disparity L R OUT.png 100" \
    "$build/tools/disparity/qiv-disparity $work/l.png $work/r.png $work/d.png 100" \
    "qiv-disparity on the grey pair" \
    "$build/tools/disparity/qiv-disparity $work/lg.png $work/rg.png $work/g.png 100"
if [ -n "$earlier" ]; then
    set -- "$@" "qiv-disparity L R OUT.png 100 (earlier)" \
        "$earlier/tools/disparity/qiv-disparity $work/l.png $work/r.png $work/e.png 100"
fi
repetitions=$runs compare "$@"
matcher=$build/bench/matcher/bench_matcher
if [ -x "$matcher" ]; then
    "$matcher" --benchmark_filter='^Ours/1000x750_d100' --benchmark_format=csv 2>/dev/null |
        awk -F, '/_median/ { printf "%-44s               median %6.2f ms (bench_matcher)\n",
                             "the matcher alone", $3 }'
fi

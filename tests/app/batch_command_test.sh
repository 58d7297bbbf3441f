#!/usr/bin/env bash
# The program's batch mode on the sample photograph, without any display: five files whose
# sizes follow from the sample, and refusals with status 2 for unusable command lines.
set -euo pipefail
program=$1
sample=$2
shift 2 # further programs that must work without Qt or OpenCV, such as qiv-disparity
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

"$program" --batch "$sample" --offset 10,-3 --out "$out" > "$out/printed"
[[ $(wc -l < "$out/printed") -eq 5 ]] || { echo "expected five paths"; cat "$out/printed"; exit 1; }
for suffix in _adjst.jpg _Right.png _Left.png _depth.png _anaglyph.png; do
    ls "$out"/*"$suffix" > /dev/null || { echo "missing *$suffix"; exit 1; }
done
# The sample is 1600 x 600: views of 800 x 600, overlap (800 - 10) x (600 - 3).
size=$(python3 - "$out"/*_depth.png <<'PY'
import struct, sys
with open(sys.argv[1], 'rb') as f:
    head = f.read(24)
print(*struct.unpack('>II', head[16:24]))
PY
)
[[ "$size" == "790 597" ]] || { echo "depth map is $size"; exit 1; }

status=0
"$program" --batch 2> "$out/err" || status=$?
[[ $status -eq 2 ]] || { echo "no FILE: status $status"; exit 1; }
status=0
"$program" --batch "$out/missing.jpg" --out "$out" 2> "$out/err" || status=$?
[[ $status -eq 2 && -s "$out/err" ]] || { echo "unreadable FILE: status $status"; exit 1; }
status=0
"$program" --batch "$sample" --max-disparity 0 --out "$out/x" 2> "$out/err" || status=$?
[[ $status -eq 2 ]] || { echo "maxDisparity 0: status $status"; exit 1; }
# Several files on two jobs: two of one stem keep apart, the missing one is counted.
mkdir -p "$out/a" "$out/b" "$out/many"
cp "$sample" "$out/a/pair.jpg"
cp "$sample" "$out/b/pair.jpg"
status=0
"$program" --batch "$out/a/pair.jpg" "$out/b/pair.jpg" "$out/missing.jpg" --jobs 2 \
    --out "$out/many" > "$out/printed" 2> "$out/err" || status=$?
[[ $status -eq 1 && $(wc -l < "$out/printed") -eq 10 && $(grep -c '^\[[1-3]/3\]' "$out/err") -eq 3 ]] ||
    { echo "several files: status $status"; cat "$out/printed" "$out/err"; exit 1; }
ls "$out/many/pair_adjst.jpg" "$out/many/pair_jpg_adjst.jpg" > /dev/null || exit 1
# --help and a plain start without a display answer before any window system is touched.
status=0
"$program" --help > "$out/help" 2>&1 || status=$?
[[ $status -eq 0 ]] && grep -q -- "--batch FILE" "$out/help" || { echo "--help: status $status"; exit 1; }
status=0
"$program" > "$out/plain" 2>&1 || status=$?
[[ $status -eq 2 && $(wc -l < "$out/plain") -eq 1 ]] && grep -q -- "--batch" "$out/plain" ||
    { echo "no display: status $status"; cat "$out/plain"; exit 1; }
# None of them loads Qt: they run where no display or Qt platform plugin is installed. Nor do
# they load OpenCV, whose loading alone takes longer than their answers.
for binary in "$program" "$@"; do
    if ldd "$binary" | grep -E -q 'libQt|libopencv'; then
        echo "$binary links Qt or OpenCV"
        exit 1
    fi
done
echo "batch command: ok"

#!/usr/bin/env bash
# soak.sh [SHOWS] [BUILD]: captures the whole show SHOWS times (default 10)
# back to back, one process each, at 160x90 and RATE (default 5) frames per
# second, from a fresh copy of data/ (with a stand-in scene where
# data/tree.demo is missing). Records each run's peak resident memory and the
# OpenGL errors its log reports. Fails when a run fails, when any OpenGL
# error appears, or when the peaks differ by more than 5 % from the smallest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shows=${1:-10}
build=${2:-$root/build}
rate=${RATE:-5}
cmake --build "$build" --target game makeStandInShow -j 2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/data" "$work/data"
rm -f "$work/data/log.html"
if [ ! -f "$work/data/tree.demo" ]; then
  echo "data/tree.demo is missing: soaking the stand-in show"
  "$build/tools/makeStandInShow" "$work/data"
fi

peaks=()
failed=0
for ((i = 1; i <= shows; i++)); do
  run=$work/run$i
  mkdir -p "$run"
  cp -r "$work/data" "$run/data"
  start=$(date +%s)
  status=0
  (cd "$run" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy /usr/bin/time -v -o time.txt \
    "$build/game/game" nodialog --capture frames --frames png --size 160x90 --rate "$rate" \
    >out.txt 2>err.txt) || status=$?
  peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$run/time.txt")
  frames=$(find "$run/frames" -name 'frame_*.png' 2>/dev/null | wc -l)
  glErrors=$(grep -o 'OpenGL error: [^<]*' "$run/data/log.html" | wc -l || true)
  printf 'show %2d: status %d, %d frames, %ds, peak RSS %d KiB, OpenGL errors %d\n' \
    "$i" "$status" "$frames" $(($(date +%s) - start)) "$peak" "$glErrors"
  if [ "$status" -ne 0 ]; then
    echo "  failed:"; sed 's/^/    /' "$run/err.txt"; failed=1
  fi
  if [ "$glErrors" -ne 0 ]; then
    grep -o 'OpenGL error: [^<]*' "$run/data/log.html" | sort | uniq -c | sed 's/^/    /'
    failed=1
  fi
  peaks+=("$peak")
  rm -rf "$run/frames"
done

read -r low high < <(printf '%s\n' "${peaks[@]}" | sort -n | awk 'NR==1 {l=$1} {h=$1} END {print l, h}')
spread=$(awk -v l="$low" -v h="$high" 'BEGIN {printf "%.2f", (h - l) * 100 / l}')
echo "peak RSS from $low to $high KiB: spread $spread %"
if awk -v s="$spread" 'BEGIN {exit !(s > 5)}'; then
  echo "peak RSS varies by more than 5 %"
  failed=1
fi
exit $failed

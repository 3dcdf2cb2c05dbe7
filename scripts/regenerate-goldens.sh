#!/usr/bin/env bash
# regenerate-goldens.sh [BUILD_DIR]: captures the show at the moments that
# tests/showfx/showGoldenTest.cpp compares and keeps them as its pictures.
# Run it after a deliberate change of the show's look, then look at them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target game showdata
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mkdir -p "$root/tests/showfx/golden"
for i in 0 1 2 3 4; do
  frame=$((150 + 600 * i))
  (cd "$root" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/game/game" nodialog \
    --capture "$out" --frames png --size 320x180 --rate 25 --frames-from $frame \
    --frames-to $((frame + 1)))
  cp "$out/frame_$(printf %06d $frame).png" \
    "$root/tests/showfx/golden/show_$(printf %03d $((6 + 24 * i))).png"
done
ls -l "$root/tests/showfx/golden"

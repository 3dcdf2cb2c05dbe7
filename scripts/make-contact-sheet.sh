#!/usr/bin/env bash
# make-contact-sheet.sh [BUILD_DIR]: captures the show every 8 s from 4 s
# to 92 s (12 frames at 320x180) and tiles them, four to a row, into
# docs/show-contact-sheet.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target game showdata makeContactSheet
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Each picture is a one-frame segment at the show's own 25 frames a second,
# so the camera lag, the walk and the particles are as the show has them.
for second in $(seq 4 8 92); do
  frame=$((second * 25))
  (cd "$root" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/game/game" nodialog \
    --capture "$out" --frames png --size 320x180 --rate 25 --frames-from $frame \
    --frames-to $((frame + 1)))
done
"$build/tools/makeContactSheet" "$root/docs/show-contact-sheet.png" 4 "$out"/frame_*.png
echo "wrote $root/docs/show-contact-sheet.png"

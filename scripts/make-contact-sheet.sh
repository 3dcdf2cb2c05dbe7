#!/usr/bin/env bash
# make-contact-sheet.sh [BUILD_DIR]: captures the show every 10 s from 4 s
# (a dozen frames at 480x270) and tiles them, four to a row, into
# docs/show-contact-sheet.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target game showdata makeContactSheet
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$root" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/game/game" nodialog \
  --capture "$out" --frames png --size 480x270 --from 4 --to 115 --rate 0.1)
"$build/tools/makeContactSheet" "$root/docs/show-contact-sheet.png" 4 "$out"/frame_*.png
echo "wrote $root/docs/show-contact-sheet.png"

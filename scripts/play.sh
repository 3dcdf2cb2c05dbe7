#!/usr/bin/env bash
# Installs what is missing, builds the engine and the demo, and plays it.
# With a display it plays in a window with sound. Without one it renders the
# whole show offline into captures/ (a video with the music when ffmpeg is
# installed, PNG frames otherwise) and says where it is. Arguments are passed
# on to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root"
mkdir -p data
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/game/game" "$@"
fi
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# Software rendering draws a few frames a second: a smaller picture at the
# show's own 25 frames a second keeps the wait reasonable. Arguments given
# to this script come later and win.
"$root/build/game/game" nodialog --capture "$root/captures" --size 640x360 --rate 25 "$@"
video=$root/captures/show.mp4 first=$root/captures/frame_000000.png
if [ -f "$video" ] && { [ ! -f "$first" ] || [ "$video" -nt "$first" ]; }; then
  echo "The show is in $video"
else
  echo "The show's frames are in $root/captures/ (frame_000000.png ...)"
fi

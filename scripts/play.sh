#!/usr/bin/env bash
# Installs what is missing, builds the engine and the demo, and plays it.
# Without a display it runs headless on SDL's offscreen driver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root"
mkdir -p data
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
  exec "$root/build/game/game" nodialog "$@"
fi
exec "$root/build/game/game" "$@"

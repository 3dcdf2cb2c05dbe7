#!/usr/bin/env bash
# Installs the Debian packages the engine, the demo and the tests need.
set -euo pipefail
packages=(
  cmake g++ make pkg-config ccache
  libsdl2-dev libepoxy-dev libmpg123-dev libmp3lame-dev libfltk1.3-dev liblua5.1-0-dev libstb-dev libtinygltf-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  libgl1-mesa-dri libegl-mesa0 libegl-dev libgl-dev
  xvfb xauth xfonts-base fonts-dejavu-core
  ffmpeg
  linux-perf
  time
  doxygen
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

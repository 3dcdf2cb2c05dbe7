#!/usr/bin/env bash
# install-check.sh [BUILD]: installs the engine built in BUILD (default
# build/) into a scratch prefix and uses it as a project outside this
# repository would: the library's file name and SONAME, every installed
# header compiled on its own, the example of examples/ built once with
# CMake's find_package and once with pkg-config, and each build capturing
# one second headless from a small show made in a scratch folder; the
# installed importer runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
cmake --build "$build" -j "$(nproc)" --target engine kovra-player kovra-import makeStandInShow >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig

fail() {
  echo "install-check: $*" >&2
  exit 1
}

version=$(pkg-config --modversion kovra)
library=$prefix/lib/libkovra.so.$version
soname=libkovra.so.${version%%.*}
[ -f "$library" ] || fail "no $library"
readelf -d "$library" | grep -q "(SONAME).*\[$soname\]" || fail "SONAME of $library is not $soname"
[ "$(readlink "$prefix/lib/$soname")" = "libkovra.so.$version" ] || fail "no link $soname"
[ "$(readlink "$prefix/lib/libkovra.so")" = "$soname" ] || fail "no link libkovra.so"
echo "libkovra.so.$version, SONAME $soname"

cmake -S "$root/tests/install/headers" -B "$work/headers" -DCMAKE_PREFIX_PATH="$prefix" | grep 'installed headers'
cmake --build "$work/headers" -j "$(nproc)" >/dev/null || fail "an installed header does not compile on its own"

# The example, built both ways.
cmake -S "$root/examples" -B "$work/example-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$work/example-cmake" -j "$(nproc)" >/dev/null
mkdir "$work/example-pkgconfig"
# shellcheck disable=SC2046 # pkg-config's words are separate arguments
c++ -std=c++20 -Wall -Wextra -Werror $(pkg-config --cflags kovra) "$root"/examples/*.cpp \
  -o "$work/example-pkgconfig/kovra-example" $(pkg-config --libs kovra) \
  -Wl,-rpath,"$(pkg-config --variable=libdir kovra)"

# Its show: the stand-in scene and schedule, the engine's installed data and
# the example's own effect.
show=$work/show
"$build/tools/makeStandInShow" "$show/data"
cp -r "$prefix/share/kovra/data/." "$root/examples/data/." "$show/data/"
for how in cmake pkgconfig; do
  rm -f "$show/data/log.html"
  frames=$work/frames-$how
  (cd "$show" && "$work/example-$how/kovra-example" --capture "$frames" 2>/dev/null) ||
    fail "the example built with $how failed"
  count=$(find "$frames" -name 'frame_*.png' | wc -l)
  [ "$count" -eq 10 ] || fail "the example built with $how captured $count frames, not 10"
  # The ground's effect at show time 0: rgb(0.2, 0.45, 0.3), below the centre.
  ground=$(ffmpeg -v error -i "$frames/frame_000000.png" -vf crop=1:1:160:150 -f rawvideo \
    -pix_fmt rgb24 - | od -An -tu1 | xargs)
  [ "$ground" = "51 115 76" ] || fail "the example built with $how drew its ground as $ground"
  if grep -o '<td>\(ERROR\|WARNING\)</td><td>[^<]*' "$show/data/log.html"; then
    fail "the example built with $how logged the rows above"
  fi
  echo "example built with $how: $count frames"
done

# The installed player, from a folder of its own: a starter show and a
# second of it.
(cd "$work" && "$prefix/bin/kovra-player" --new starter >/dev/null &&
  "$prefix/bin/kovra-player" starter nodialog --capture starter-frames --frames png \
    --size 160x90 --rate 10 --to 1 >/dev/null 2>&1) || fail "the installed player failed"
count=$(find "$work/starter-frames" -name 'frame_*.png' | wc -l)
[ "$count" -eq 10 ] || fail "the installed player captured $count frames, not 10"
if grep -o '<td>ERROR</td><td>[^<]*' "$work/starter/data/log.html"; then
  fail "the installed player logged the rows above"
fi
echo "installed player: $count frames of its starter show"

# The installed importer runs and names a file it cannot read.
error=$("$prefix/bin/kovra-import" "$work/none.gltf" "$work/imported" 2>&1) && fail "kovra-import read no file"
[ "$error" = "kovra-import: $work/none.gltf: no such file" ] || fail "kovra-import said: $error"
echo "installed importer: $error"

#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets (tests/fuzz) with clang into
# build-fuzz and runs each for SECONDS (default 60) from the seed corpus of
# tools/makeFuzzCorpus. Inputs that crash land in build-fuzz/findings/<name>/;
# any finding fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir=$root/build-fuzz
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DKOVRA_FUZZ=ON -DKOVRA_BENCH=OFF "${launcher[@]}" >/dev/null

names=()
for src in "$root"/tests/fuzz/*.cpp; do
  names+=("$(basename "$src" .cpp)")
done
cmake --build "$dir" -j "$(nproc)" --target makeFuzzCorpus "${names[@]/#/fuzz_}"

"$dir/tools/makeFuzzCorpus" "$dir/seeds"
for name in "${names[@]}"; do
  corpus=$dir/corpus/$name
  findings=$dir/findings/$name
  mkdir -p "$corpus" "$findings" "$dir/seeds/$name"
  echo "fuzz_$name: ${seconds}s"
  # New inputs go to the first folder; the seeds stay as written.
  "$dir/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$dir/seeds/$name"
done

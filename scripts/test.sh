#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test; then runs the suite once more under AddressSanitizer and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

# The settings dialog needs an X display; everything else renders on SDL's
# offscreen driver and plays sound on its dummy driver, so no test can wait
# on a real window or message box. Xvfb must not reset when its last client
# leaves: during a reset it refuses connections, and the dialog tests run in
# parallel, so one of them would find no display.
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

run_suite() {
  local dir=$1
  shift
  local ctest_args=(--test-dir "$dir" --output-on-failure --timeout 600 -j "$(nproc)" "$@")
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest "${ctest_args[@]}"
  else
    ctest "${ctest_args[@]}"
  fi
}

"$root/scripts/build.sh" "$root/build" -DKOVRA_WERROR=ON
run_suite "$root/build"
# The engine as another project gets it, and its API reference (warnings
# fail it).
"$root/scripts/install-check.sh" "$root/build"
cmake --build "$root/build" --target doc

"$root/scripts/build.sh" "$root/build-asan" -DKOVRA_WERROR=ON -DKOVRA_SANITIZE=ON \
  -DKOVRA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The data-file walk and the golden pictures run the whole program many
# times over; they check its output, not its memory, so the sanitizer run
# leaves them to the normal one.
run_suite "$root/build-asan" -E '^(DataWalk|ShowGolden)\.'


#!/usr/bin/env bash
# Start-up of normal mode against a bare Qt widget program, both from the
# Release build, on an X server of their own (Xvfb): from just before the
# process starts to the end of the window's first paint. The programs run in
# turns; the script prints the medians, the processor time to the paint and
# the ratio, and fails with a message when a program fails to show its
# window. A second build directory (an earlier state of the program, built
# the same way) joins the rotation for a before/after comparison.
#
#   bench/startup.sh [build-dir] [rounds] [before-build-dir]     (default: build-rel 40)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
rounds=${2:-40}
before=()
if [ -n "${3:-}" ]; then
  [ -x "$3/korva" ] || { echo "startup.sh: no program in $3" >&2; exit 1; }
  before=(--before "$3/korva")
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVA_BENCH=ON
fi
grep -q "CMAKE_BUILD_TYPE:STRING=Release" "$build/CMakeCache.txt" ||
  { echo "startup.sh: $build is not a Release build" >&2; exit 1; }
grep -q "KORVA_BENCH:BOOL=ON" "$build/CMakeCache.txt" ||
  { echo "startup.sh: $build is built without the benchmarks (KORVA_BENCH=OFF)" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" --target korva korva_windowed korva_bare_qt korva_startup_compare \
  korva_demo_catalogue korva_dictionaries korva_images
command -v xvfb-run >/dev/null || { echo "startup.sh: xvfb-run is missing (package xvfb)" >&2; exit 1; }
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  "$build/bench/korva_startup_compare" --korva "$build/korva" --bare "$build/bench/korva_bare_qt" \
  --demo "$build/demo" --rounds "$rounds" "${before[@]}"

#!/usr/bin/env bash
# Start-up of normal mode against a bare Qt widget program, both in the
# Release build: from process start to the window painted (each program
# reports that moment on the monotonic clock; see bench/forms/
# bm_StartupToForm.cpp). Prints both medians and their ratio; the input
# form is to stay within 1.3 times the bare program.
#
#   bench/startup.sh [build-dir]      (default: build-rel)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVA_BENCH=ON
fi
grep -q "CMAKE_BUILD_TYPE:STRING=Release" "$build/CMakeCache.txt" ||
  { echo "$build is not a Release build" >&2; exit 1; }
cmake --build "$build" -j4 --target korva bench_forms_bm_StartupToForm \
  korva_demo_catalogue korva_dictionaries korva_images
export QT_QPA_PLATFORM=offscreen
"$build/bench/bench_forms_bm_StartupToForm" \
  --benchmark_filter='BM_BareQtWidgetShown|BM_InputFormShown' \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"/ { name=$1; gsub(/"/, "", name); sub(/\/.*/, "", name); t[name]=$3 }
           END {
             printf "bare Qt widget program: %.1f ms\n", t["BM_BareQtWidgetShown"]
             printf "input form:             %.1f ms\n", t["BM_InputFormShown"]
             if (t["BM_BareQtWidgetShown"] > 0)
               printf "ratio:                  %.2f (target 1.30)\n", t["BM_InputFormShown"] / t["BM_BareQtWidgetShown"]
           }'

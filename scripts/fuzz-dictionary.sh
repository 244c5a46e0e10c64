#!/usr/bin/env bash
# Builds the dictionary reader's fuzz target with clang (libFuzzer, ASan,
# UBSan) into build-fuzz/ and runs it for the given seconds (default 60),
# starting from the program's own dictionaries as seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKORVA_SANITIZE=ON -DKORVA_BENCH=OFF -DKORVA_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_mldfile korva_dictionaries
corpus=build-fuzz/fuzz/corpus
mkdir -p "$corpus"
cp build-fuzz/Korva32.mld build-fuzz/Korvaprn.mld "$corpus"/
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/fuzz/fuzz_mldfile -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
  -artifact_prefix=build-fuzz/fuzz/ "$corpus"

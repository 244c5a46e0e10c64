#!/usr/bin/env bash
# Installs what KORVA needs, builds it with AddressSanitizer and UBSan into
# build-test/, runs the dictionary reader's fuzz target for 60 seconds, and
# runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
. ./scripts/packages.sh
install_packages

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVA_SANITIZE=ON -DKORVA_BENCH=OFF
cmake --build build-test -j "$(nproc)"

# The dictionary reader under libFuzzer (clang), 60 seconds from the
# program's own dictionaries: no crash and no sanitizer report.
./scripts/fuzz-dictionary.sh 60

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-test
ctest --output-on-failure -j "$(nproc)" --timeout 600

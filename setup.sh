#!/usr/bin/env bash
# Installs what KORVA needs on Debian 12, builds build/korva, builds the demo
# catalogue and an empty demo project, and prints the command that runs the
# main job on the demo input.
set -euo pipefail
cd "$(dirname "$0")"
. ./scripts/packages.sh
install_packages

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

./scripts/make-demo.sh build

#!/usr/bin/env bash
# Prints how to run the program on the demo data of a build directory.
set -euo pipefail
build=${1:-build}
echo "Built: $build/korva"

#!/usr/bin/env bash
# Builds Dravik in Release and prints the conversion's speed and memory figures, checked against their
# targets (the command fails when one is missed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DDRAVIK_BUILD_BENCH=ON -DDRAVIK_BUILD_UI=OFF \
      -DDRAVIK_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target conversion_bench
cd build-release
exec bench/conversion_bench "$@"

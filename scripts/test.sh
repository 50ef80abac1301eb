#!/usr/bin/env bash
# Builds Dravik with warnings as errors and runs every test: the engine's, the window's headless tests
# and the end-to-end test of the real program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

jobs=$(nproc)
cmake -S . -B build -DDRAVIK_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

#!/usr/bin/env bash
# Cross-builds Dravik for 64-bit Windows with MinGW-w64: build-windows/ui/dravik.exe, static, no DLLs.
#   build-windows.sh [extra CMake options]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DDRAVIK_WERROR=ON "$@" >/dev/null
cmake --build build-windows -j "$(nproc)"
echo "built $(pwd)/build-windows/ui/dravik.exe"

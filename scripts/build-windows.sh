#!/usr/bin/env bash
# Cross-builds Dravik for 64-bit Windows with MinGW-w64: build-windows/ui/dravik.exe, static, no DLLs,
# its tests and the release zip beside them, build-windows/dravik-<version>-win64.zip.
#   build-windows.sh [extra CMake options]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
# The tests on unless the caller says otherwise, also in a folder that scripts/release.sh configured.
cmake --preset windows -DDRAVIK_BUILD_TESTS=ON "$@" >/dev/null
cmake --build --preset windows -j "$(nproc)"
echo "built $(pwd)/build-windows/ui/dravik.exe"

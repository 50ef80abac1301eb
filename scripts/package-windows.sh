#!/usr/bin/env bash
# Makes the Windows release a user downloads: build-windows/dravik-<version>-win64.zip, holding a
# stripped dravik.exe built for size (MinSizeRel, hardened) and README.txt, and checks it.
#   package-windows.sh [extra CMake options]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh "$@"
archive=$(ls build-windows/dravik-*-win64.zip)
scripts/check-release.sh "$archive" build-windows
echo "made $(pwd)/$archive"

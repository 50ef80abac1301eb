#!/usr/bin/env bash
# Makes the Windows release a user downloads: build-windows/dravik-<version>-win64.zip, holding a
# stripped dravik.exe built for size (MinSizeRel) and README.txt, and checks what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh
(cd build-windows && cpack --config CPackConfig.cmake >/dev/null)
zip=$(ls build-windows/dravik-*-win64.zip)
scripts/check-release.sh "$zip"
echo "made $(pwd)/$zip"

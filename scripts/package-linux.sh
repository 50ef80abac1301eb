#!/usr/bin/env bash
# Makes the Linux release: build-linux/dravik-<version>-linux-x86_64.tar.gz, holding the stripped program
# (Release, hardened) and README.txt, and checks it.
#   package-linux.sh [extra CMake options]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset release "$@" >/dev/null
cmake --build --preset release -j "$(nproc)"
archive=$(ls build-linux/dravik-*-linux-*.tar.gz)
scripts/check-release.sh "$archive" build-linux
echo "made $(pwd)/$archive"

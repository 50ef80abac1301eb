#!/usr/bin/env bash
# Makes both releases and puts them in release/ with their checksums, as they are published:
#   release/dravik-<version>-win64.zip, release/dravik-<version>-linux-x86_64.tar.gz, release/SHA256SUMS
#   release.sh [extra CMake options for both builds]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh release
export DRAVIK_DEPS_INSTALLED=1
# Only the programs and their archives: the tests would double the time and change no byte of them.
scripts/package-windows.sh -DDRAVIK_BUILD_TESTS=OFF "$@"
scripts/package-linux.sh "$@"
rm -rf release
mkdir release
cp build-windows/dravik-*-win64.zip build-linux/dravik-*-linux-*.tar.gz release/
(cd release && sha256sum -- *.tar.gz *.zip >SHA256SUMS)
cat release/SHA256SUMS

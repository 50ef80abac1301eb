#!/usr/bin/env bash
# Makes both releases and puts them in release/ with their checksums, as they are published:
#   release/dravik-<version>-win64.zip, release/dravik-<version>-linux-x86_64.tar.gz, release/SHA256SUMS
#   release.sh [extra CMake options for both builds]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/package-windows.sh "$@"
scripts/package-linux.sh "$@"
rm -rf release
mkdir release
cp build-windows/dravik-*-win64.zip build-linux/dravik-*-linux-*.tar.gz release/
(cd release && sha256sum -- *.tar.gz *.zip >SHA256SUMS)
cat release/SHA256SUMS

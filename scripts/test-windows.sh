#!/usr/bin/env bash
# Cross-builds the Windows program and its tests, then runs them under Wine: the engine's suite, the
# Windows-only tests, the window under a virtual display, the resources of dravik.exe, the release zip
# (which the build makes) and the end-to-end test of dravik.exe under Xvfb,
# both as built and as unpacked from the zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
scripts/build-windows.sh

# A fresh prefix of the build's own, with no Mono or Gecko (their installers would ask with a dialog).
export WINEPREFIX=$PWD/build-windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# Started detached and stopped at the end: each test would otherwise wait for a server to start, and a
# lingering one could hold ctest's output open.
wineserver -p </dev/null >/dev/null 2>&1 || true  # one left running on this prefix serves as well
trap 'wineserver -k 2>/dev/null || true' EXIT
wine wineboot </dev/null >/dev/null 2>&1 || true
ctest --preset windows -j "$(nproc)"

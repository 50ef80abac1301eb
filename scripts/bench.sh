#!/usr/bin/env bash
# Builds Dravik in Release and prints its speed and memory figures, checked against their targets (the
# command fails when one is missed): the conversion and the window's hand-over, then the Qt window's
# pastes on Qt's offscreen platform.
#   bench.sh [Google Benchmark options, for both]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
cd build-release
status=0
bench/conversion_bench "$@" || status=1
QT_QPA_PLATFORM=offscreen bench/window_bench "$@" || status=1
exit $status

#!/usr/bin/env bash
# Builds Dravik and starts it. Plans are saved beside the program, in build/ui/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target dravik
exec build/ui/dravik

#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# each for a bounded time, starting from the seed corpus in fuzz/corpus. Fails on any finding.
#   fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {
    local target=$1; shift
    mkdir -p "$work/$target" "$work/findings"
    cp fuzz/corpus/"${target%_fuzz}"/* "$work/$target/"
    echo "== $target for ${seconds}s"
    if ! build-fuzz/fuzz/"$target" "$work/$target" -max_total_time="$seconds" -timeout=20 \
            -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/findings/" "$@" \
            >"$work/$target.log" 2>&1; then
        tail -n 60 "$work/$target.log"
        for finding in "$work"/findings/*; do
            echo "finding: $finding"; base64 "$finding" | head -c 4000; echo
        done
        echo "FAIL: $target found a problem"
        exit 1
    fi
    grep -E "stat::number_of_executed_units|Done" "$work/$target.log" | tail -n 2
}
run plan_fuzz -max_len=262144
run note_fuzz -max_len=262144
run pattern_fuzz -max_len=400
echo "fuzzing: 3 passed, 0 failed"

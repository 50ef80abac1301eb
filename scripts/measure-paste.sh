#!/usr/bin/env bash
# How long the real program stays busy after a large paste: Dravik is started under Xvfb with a window
# manager, a listing of 1, 4 and 20 MB (as many lines of 80 characters, or as one line) is pasted with
# Ctrl+V, and the time from the key to the moment the program stops using the processor is printed,
# with its resident memory then (under Wine, Wine's own processes that carry the clipboard's text count
# as the program's). The Qt window's own figures come from bench/window_bench.cpp; this
# measures the whole road, clipboard transfer included, and the Windows program under Wine too.
#   measure-paste.sh [--wine] <program> [sizes in MB, default "1 4 20"] [seconds before giving up, 300]
set -euo pipefail

if [[ ${1:-} != --inside ]]; then
    desktop=("$(dirname "$0")/../tests/e2e/with_desktop.sh")
    [[ ${1:-} == --wine ]] && desktop+=(--fresh-wine)
    exec "${desktop[@]}" "$0" --inside "$@"
fi
shift
launcher=native
if [[ ${1:-} == --wine ]]; then
    launcher=wine
    shift
fi
program=$(realpath "$1")
sizes=${2:-1 4 20}
limit=${3:-300}

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Processor time the program has used, in clock ticks; under Wine also its prefix's server and
# explorer.exe, which carry the clipboard's text to the program before the program itself starts on it.
ticks() {
    [[ -e /proc/$1/stat ]] || { echo gone; return; }
    local pids=("$1") other
    if [[ $launcher == wine ]]; then
        for other in $(pgrep -f 'wineserver|explorer\.exe'); do
            tr '\0' '\n' <"/proc/$other/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
                pids+=("$other")
        done
    fi
    (cd /proc && cat "${pids[@]/%//stat}" 2>/dev/null) | awk '{ sum += $14 + $15 } END { print sum }'
}
now() { date +%s.%N; }

line='EAXA             0      0   N55°05'"'"'03.00" E012°39'"'"'22.00" NORTH FIELD'
for shape in "many lines" "one line"; do
    for megabytes in $sizes; do
        text=$work/paste.txt
        bytes=$((megabytes * 1000000))
        # (yes ends on a broken pipe once head has what it needs.)
        if [[ $shape == "many lines" ]]; then
            yes "$line          " | head -c "$bytes" >"$text" || true
        else
            yes "$line" | tr '\n' ' ' | head -c "$bytes" >"$text" || true
        fi

        rm -rf "$work/app" && mkdir "$work/app"
        if [[ $launcher == wine ]]; then
            cp "$program" "$work/app/dravik.exe"
            (cd / && exec wine "$work/app/dravik.exe" </dev/null >/dev/null 2>&1) & pids+=($!)
        else
            cp "$program" "$work/app/dravik"
            (cd / && exec "$work/app/dravik" 2>/dev/null) & pids+=($!)
        fi
        window=
        for _ in $(seq 600); do
            window=$(xdotool search --onlyvisible --name '^Dravik$' 2>/dev/null | head -n 1 || true)
            [[ -n $window ]] && break
            sleep 0.1
        done
        [[ -n $window ]] || { echo "the window did not appear"; exit 1; }
        pid=$(xdotool getwindowpid "$window")
        xclip -selection clipboard -t UTF8_STRING -quiet -i "$text" >/dev/null 2>&1 & pids+=($!)
        sleep 0.5
        xdotool windowactivate --sync "$window" mousemove --window "$window" 300 80 click 1
        sleep 1

        start=$(now)
        xdotool key --clearmodifiers ctrl+v
        last=$(ticks "$pid") busy_until=$start result=
        while :; do
            sleep 0.05
            current=$(ticks "$pid") at=$(now)
            if [[ $current == gone ]]; then result="the program ended"; break; fi
            if [[ $current != "$last" ]]; then last=$current busy_until=$at; fi
            if awk -v a="$at" -v b="$busy_until" 'BEGIN { exit !(a - b > 1) }'; then break; fi
            if awk -v a="$at" -v s="$start" -v l="$limit" 'BEGIN { exit !(a - s > l) }'; then
                result="still busy after $limit s"
                break
            fi
        done
        if [[ -z $result ]]; then
            result=$(awk -v a="$busy_until" -v s="$start" 'BEGIN { printf "busy for %.2f s", a - s }')
        fi
        rss=$(awk '/VmRSS/ { printf "%.0f MB", $2 / 1024 }' "/proc/$pid/status" 2>/dev/null || echo "?")
        printf '%-10s %3d MB: %s, then %s resident\n' "$shape" "$megabytes" "$result" "$rss"
        kill "$pid" 2>/dev/null || true
        sleep 0.5
    done
done

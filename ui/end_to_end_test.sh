#!/usr/bin/env bash
# Dravik as a user uses it: a real X server with a window manager, the program started from its own
# folder, a listing pasted with ctrl+v, a click on "Convert and Save", the message dismissed with
# Return, the plan file compared byte for byte, and the window closed with alt+F4.
#   end_to_end_test.sh [--wine] <program> [<listing> <expected plan>]
# With --wine the program is a Windows .exe, run by Wine in a fresh prefix of its own.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
testdata=$here/../testdata

if [[ ${1:-} != --inside ]]; then
    launcher=native
    if [[ ${1:-} == --wine ]]; then
        launcher=wine
        shift
    fi
    program=$(realpath "$1")
    listing=$(realpath "${2:-$testdata/example-listing.txt}")
    expected=$(realpath "${3:-$testdata/EAXA-EAXB.PLN}")
    for tool in xvfb-run xauth openbox xdotool xclip; do
        command -v "$tool" >/dev/null || { echo "end-to-end test needs $tool"; exit 1; }
    done
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside "$launcher" "$program" "$listing" "$expected"
fi

launcher=$2 program=$3 listing=$4 expected=$5
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [[ $launcher == wine ]]; then WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Waits up to 60 s for a window whose title is exactly $1; prints the newest one's id.
wait_window() {
    local ids
    for _ in $(seq 600); do
        ids=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true)
        if [[ -n $ids && $(wc -l <<<"$ids") -ge ${2:-1} ]]; then
            tail -n 1 <<<"$ids"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

openbox >/dev/null 2>&1 & pids+=($!)
sleep 1

# The program writes beside itself, so it runs from a copy in a folder of its own.
mkdir "$work/app"
if [[ $launcher == wine ]]; then
    # No Mono or Gecko: Dravik needs neither, and their installers would ask with a dialog.
    export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir "$WINEPREFIX"
    # A detached server: otherwise it would hold this script's output open after the test.
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
    cp "$program" "$work/app/dravik.exe"
    (cd / && exec wine "$work/app/dravik.exe" </dev/null >/dev/null 2>&1) & app=$!; pids+=($app)
else
    cp "$program" "$work/app/dravik"
    (cd / && exec "$work/app/dravik") & app=$!; pids+=($app)
fi
window=$(wait_window Dravik) || fail "the window did not appear"

xclip -selection clipboard -t UTF8_STRING -i "$listing" & pids+=($!)
sleep 0.3
# Click into the text box (8,24 to 681,161 in the client area), paste, click the button (8,168 to 681,193).
xdotool mousemove --window "$window" 300 80 click 1
xdotool key --clearmodifiers ctrl+v
sleep 0.3
xdotool mousemove --window "$window" 340 180 click 1
wait_window Dravik 2 >/dev/null || fail "no message box after the click"
sleep 0.3
xdotool key Return
sleep 0.5

plan="$work/app/EAXA-EAXB.PLN"
[[ -f $plan ]] || fail "no plan file beside the program: $(ls "$work/app")"
cmp "$plan" "$expected" || fail "the plan file differs from $expected"
kill -0 "$app" 2>/dev/null || fail "the program ended after the conversion"

xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the window did not close with alt+F4"
status=0
wait "$app" || status=$?
[[ $status -eq 0 ]] || fail "the program ended with status $status"
echo "PASS: pasted listing converted to $(basename "$plan") byte for byte; closed with status 0"

#!/usr/bin/env bash
# Runs a command on a virtual display with a window manager, as a desktop would: without one, Wine
# waits two seconds for each window it shows.
#   with_desktop.sh <command> [arguments...]
set -euo pipefail
if [[ ${1:-} != --inside ]]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside "$@"
fi
shift
openbox >/dev/null 2>&1 &
manager=$!
trap 'kill $manager 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
    sleep 0.1
done
"$@"

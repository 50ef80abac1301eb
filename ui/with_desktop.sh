#!/usr/bin/env bash
# Runs a command on a virtual display with a window manager, as a desktop would: without one, Wine
# waits two seconds for each window it shows. With --fresh-wine the command also gets a Wine prefix of
# its own (no Mono or Gecko: Dravik needs neither, and their installers would ask with a dialog),
# served by a detached server that is stopped, and the prefix removed, when the command ends.
#   with_desktop.sh [--fresh-wine] <command> [arguments...]
set -euo pipefail
if [[ ${1:-} != --inside ]]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --inside "$@"
fi
shift
openbox >/dev/null 2>&1 &
manager=$!
prefix=
cleanup() {
    kill $manager 2>/dev/null || true
    if [[ -n $prefix ]]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
}
trap cleanup EXIT
# The manager is ready once it names its check window on the root ("window id # 0x..."); before that
# xprop answers "no such atom on any window", and a window mapped then may never be shown.
ready=
for _ in $(seq 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #'; then
        ready=yes
        break
    fi
    sleep 0.1
done
[[ -n $ready ]] || { echo "with_desktop.sh: the window manager did not start"; exit 1; }
if [[ ${1:-} == --fresh-wine ]]; then
    shift
    prefix=$(mktemp -d)
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # Detached: a server started by wine itself would hold this script's output open after the test.
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
fi
status=0
"$@" || status=$?
exit $status

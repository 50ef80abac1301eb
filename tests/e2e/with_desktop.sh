#!/usr/bin/env bash
# Runs a command on a virtual display with a window manager, as a desktop would: without one, Wine
# waits two seconds for each window it shows. With --fresh-wine the command also gets a Wine prefix of
# its own (no Mono or Gecko: Dravik needs neither, and their installers would ask with a dialog),
# served by a detached server that is stopped, and the prefix removed, when the command ends.
#   with_desktop.sh [--fresh-wine] <command> [arguments...]
# Several may run at once (ctest -j): the X server picks a free display itself (-displayfd), where
# xvfb-run -a lets two runs pick the same one and share a screen and a window manager.
set -euo pipefail
# The command gets this desktop and nothing the caller's environment says of another: an exported
# QT_QPA_PLATFORM=offscreen, as many CI set-ups have, a Wayland display, a scale or a session bus would
# take the program somewhere the test does not look. A test that wants one of these sets it itself.
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
      QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_ACCESSIBILITY \
      QT_LINUX_ACCESSIBILITY_ALWAYS_ON WAYLAND_DISPLAY WAYLAND_SOCKET XDG_SESSION_TYPE \
      DBUS_SESSION_BUS_ADDRESS

fail() { echo "with_desktop.sh: $*" >&2; exit 1; }

scratch=$(mktemp -d)
server= manager= prefix=
cleanup() {
    [[ -z $manager ]] || kill "$manager" 2>/dev/null || true
    if [[ -n $prefix ]]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    if [[ -n $server ]]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# Starts the X server and the window manager; true once the manager is ready.
start_desktop() {
    # Only this user's processes on this machine can reach the display: no TCP, and the server's
    # default access list admits local connections alone.
    rm -f "$scratch/display"
    mkfifo "$scratch/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >"$scratch/server.log" 2>&1 &
    server=$!
    read -r -t 10 number <"$scratch/display" || fail "the X server did not start: $(cat "$scratch/server.log")"
    export DISPLAY=:$number
    unset XAUTHORITY

    openbox >"$scratch/manager.log" 2>&1 &
    manager=$!
    # The manager is ready once it names its check window on the root ("window id # 0x..."); before
    # that xprop answers "no such atom on any window", and a window mapped then may never be shown. A
    # loaded machine (tests under Wine beside this one) can take several seconds.
    for _ in $(seq 300); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #'; then
            return 0
        fi
        kill -0 "$manager" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

# Once, in a fresh Debian 13 root under load, the manager could not open the display the server had
# just announced: a new server and manager are tried before the test is given up, never the test itself.
ready=
for attempt in 1 2 3; do
    if start_desktop; then
        ready=yes
        break
    fi
    echo "with_desktop.sh: attempt $attempt: the window manager did not start: $(cat "$scratch/manager.log")" >&2
    kill "$manager" "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
done
[[ -n $ready ]] || fail "the window manager did not start; the X server said: $(cat "$scratch/server.log")"

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

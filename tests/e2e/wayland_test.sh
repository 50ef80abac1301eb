#!/usr/bin/env bash
# Dravik on a Wayland desktop: weston (with its X11 back end, inside the test desktop's X server, so it
# has a keyboard) and the program on Wayland itself, with no X11 display to fall back on.
#   1. A listing copied with wl-copy, pasted with Ctrl+V, Tab and Space: the plan, byte for byte.
#   2. The window test's maximise requests, to the window and to its message, under the same
#      compositor: each stays as it was, where keeping its size used to make weston end the program.
#   wayland_test.sh <program> <listing> <expected plan> <the Qt window's test program>
# Run it on a display with a window manager: with_desktop.sh wayland_test.sh ...
set -euo pipefail

program=$(realpath "$1") listing=$(realpath "$2") expected=$(realpath "$3") window_test=$(realpath "$4")
for tool in weston wl-copy xdotool; do
    command -v "$tool" >/dev/null || { echo "the Wayland test needs $tool"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    tail -n 5 "$work/weston.log" 2>/dev/null || true
    exit 1
}
step() { echo "-- $*"; }

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No on-screen keyboard: as weston's input method it would take the keys and drop Ctrl+V and Shift+F10.
printf '[core]\nidle-time=0\n[input-method]\npath=\n' >"$work/weston.ini"
weston --config="$work/weston.ini" --backend=x11-backend.so --socket=dravik --width=1024 --height=700 \
    >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -S $XDG_RUNTIME_DIR/dravik ]] && break; sleep 0.1; done
[[ -S $XDG_RUNTIME_DIR/dravik ]] || fail "weston did not start"
compositor=
for _ in $(seq 100); do
    # (xdotool's search does not find it; xwininfo lists it by name)
    compositor=$(xwininfo -root -tree | awk '/"Weston Compositor/ && !found { print $1; found = 1 }')
    [[ -n $compositor ]] && break
    sleep 0.1
done
[[ -n $compositor ]] || fail "weston's window did not appear"
wayland() { env -u DISPLAY WAYLAND_DISPLAY=dravik "$@"; }
# Keys typed into weston's window (as a keyboard types them, not sent to it) reach the Wayland program
# that has the focus there.
key() {
    xdotool windowactivate --sync "$compositor" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers "$@" || true
    sleep 0.5
}

step "1. wl-copy, Ctrl+V, Tab and Space"
# Copied first: wl-copy takes the keyboard focus for a moment, and weston does not hand it back.
wayland wl-copy <"$listing" 2>/dev/null  # its server outlives the test's weston
mkdir "$work/app"
cp "$program" "$work/app/dravik"
(cd / && wayland "$work/app/dravik" 2>"$work/app.log") & app=$!
pids+=($app)
sleep 3
kill -0 "$app" 2>/dev/null || fail "the program ended on start: $(cat "$work/app.log")"
key ctrl+v
key Tab
key space
for _ in $(seq 50); do [[ -f $work/app/EAXA-EAXB.PLN ]] && break; sleep 0.2; done
[[ -f $work/app/EAXA-EAXB.PLN ]] || fail "no plan beside the program: $(ls "$work/app")"
cmp "$work/app/EAXA-EAXB.PLN" "$expected" || fail "the plan differs from $expected"
key Return  # answers "Done!"
kill -0 "$app" 2>/dev/null || fail "the program ended: $(cat "$work/app.log")"
kill "$app"

step "2. a maximise request on Wayland"
# Without the leak check of a sanitized build: Qt's Wayland plugin leaves what it allocated at exit, from
# a library already unloaded. The offscreen runs of the same test check leaks.
wayland QT_QPA_PLATFORM=wayland ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$window_test" --gtest_filter='*MaximisingLeavesTheWindowAsItWas*' \
    >"$work/window-test.log" 2>&1 || { cat "$work/window-test.log"; fail "the window test failed on Wayland"; }
grep -q "PASSED.*1 test" "$work/window-test.log" || { cat "$work/window-test.log"; fail "the window test did not run"; }

echo "PASS: every step above, on Wayland"

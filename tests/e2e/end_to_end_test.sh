#!/usr/bin/env bash
# Dravik as a user uses it, attacked as a careless or hostile user would: a real X server with a window
# manager, the program started from a folder of its own, and only keys, clicks and the clipboard.
#   0. (Qt) No usable display: one line on standard error and status 1, never a core dump.
#   1. Ctrl+V and a middle click with a clipboard whose owner has gone, and Esc: nothing happens.
#   2. A listing pasted with Ctrl+V, Tab to the button and Space: the plan, byte for byte.
#   3. The real context menu's Undo, right after "Done!", brings the listing back; Tab and Enter convert.
#   4. Enter held down on the button, with the desktop's own key repeat, converts once: one message,
#      answered, and no other.
#   5. A line of a megabyte pasted and replaced: the window answers and converts as ever.
#   6. Esc on the button, then Alt+F4 from the window manager: the program ends with status 0.
#   7. Where the system lets us mount them: the program's folder on a full disk (the save fails, the
#      earlier plan stays as it was and no temporary file is left), and on a FAT image, where a plan
#      is replaced as anywhere else.
# The other keys (Ctrl+Z, Ctrl+A, Shift+F10, Tab) are the window suites' to check.
#   end_to_end_test.sh [--wine] <program, or a release archive> [<listing> <expected plan>]
# With --wine the program is a Windows .exe, run by Wine in a fresh prefix of its own (with_desktop.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
testdata=$here/../../testdata

if [[ ${1:-} != --inside ]]; then
    launcher=native
    if [[ ${1:-} == --wine ]]; then
        launcher=wine
        shift
    fi
    program=$(realpath "$1")
    listing=$(realpath "${2:-$testdata/example-listing.txt}")
    expected=$(realpath "${3:-$testdata/EAXA-EAXB.PLN}")
    tools=(Xvfb xprop xwininfo openbox xdotool xclip)
    [[ $program == *.zip ]] && tools+=(unzip)
    for tool in "${tools[@]}"; do
        command -v "$tool" >/dev/null || { echo "end-to-end test needs $tool"; exit 1; }
    done
    desktop=("$here/with_desktop.sh")
    [[ $launcher == wine ]] && desktop+=(--fresh-wine)
    exec "${desktop[@]}" "$0" --inside "$launcher" "$program" "$listing" "$expected"
fi

launcher=$2 program=$3 listing=$4 expected=$5
work=$(mktemp -d)
pids=()
mounts=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for mount in "${mounts[@]}"; do umount "$mount" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# The Linux release: the program as it comes out of the archive.
if [[ $program == *.tar.gz ]]; then
    mkdir "$work/release"
    tar -xzf "$program" -C "$work/release"
    program=$(ls "$work"/release/*/dravik)
fi
step() { echo "-- $*"; }

# Waits up to 60 s until exactly $1 windows are titled "Dravik" (the main window, and a message box
# over it); prints the newest one's id.
windows() {
    local ids count
    for _ in $(seq 600); do
        ids=$(xdotool search --onlyvisible --name '^Dravik$' 2>/dev/null || true)
        count=$(grep -c . <<<"$ids" || true)
        if [[ $count -eq $1 ]]; then
            tail -n 1 <<<"$ids"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# For a failure message: whether the program still runs, and every window titled "Dravik".
describe_program() {
    local state=running
    kill -0 "$app" 2>/dev/null || state="ended"
    echo "the program is $state; windows titled Dravik:"
    for id in $(xdotool search --name '^Dravik$' 2>/dev/null); do
        echo "  $id $(xwininfo -id "$id" 2>/dev/null | grep -o 'Map State: .*')"
    done
}

alive() { kill -0 "$app" 2>/dev/null && windows 1 >/dev/null; }

# Waits until the program has used no processor time for half a second (at most 60 s): a large paste
# is then fully taken in.
settle() {
    local pid ticks last=
    pid=$(xdotool getwindowpid "$window" 2>/dev/null) || return 0
    for _ in $(seq 120); do
        ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null) || return 0
        [[ $ticks == "$last" ]] && return 0
        last=$ticks
        sleep 0.5
    done
}

# Puts a file on the clipboard, served by xclip (in the foreground, so cleanup can end it) until
# someone else takes the clipboard.
clipboard() {
    xclip -selection clipboard -t UTF8_STRING -quiet -i "$1" >/dev/null 2>&1 & pids+=($!)
    sleep 0.3
}

# Takes the clipboard and the selection, then lets their owner go: nobody owns them any more.
ownerless_clipboard() {
    for selection in clipboard primary; do
        echo gone | xclip -selection "$selection" -quiet -i >/dev/null 2>&1 & local owner=$!
        sleep 0.3
        kill "$owner" 2>/dev/null || true
    done
    sleep 0.3
}

# The box is at 8,24 to 681,161 of the client area and the button at 8,168 to 681,193.
# These never stop the script themselves: the checks after them say what went wrong.
click_box() { xdotool mousemove --window "$window" 300 80 click "${1:-1}" || true; sleep 0.3; }
click_button() { xdotool mousemove --window "$window" 340 180 click 1 || true; }
key() { xdotool key --clearmodifiers "$@" || true; sleep 0.3; }
# Replaces the box's whole text with the file's, as a user does: click, Ctrl+A, Ctrl+V.
paste_over() {
    clipboard "$1"
    click_box
    key ctrl+a
    key ctrl+v
}

# After the button was pressed: a message box, dismissed with Return.
answer_message() {
    windows 2 >/dev/null || fail "no message box after pressing the button"
    sleep 0.3
    xdotool key Return
    windows 1 >/dev/null || fail "the message box did not close"
    sleep 0.3
}

# A plan of that name was written (and removed for the next step), byte for byte as $3 when given: the
# bytes once, as the program writes them on this desktop; the window suites check the rest.
expect_plan() {
    local plan=$app_dir/$1
    [[ -f $plan ]] || fail "$2: no $1 beside the program: $(ls "$app_dir")"
    [[ -z ${3:-} ]] || cmp "$plan" "$3" || fail "$2: $1 differs from $3"
    rm "$plan"
}

# Starts the program from a folder of its own, $1: a copy of it, or the release zip unpacked there.
# Sets app, app_dir (where the plans go) and window.
start() {
    app_dir=$1
    mkdir -p "$app_dir"
    if [[ $program == *.zip ]]; then
        unzip -q "$program" -d "$app_dir"
        app_dir=$(dirname "$(ls "$app_dir"/*/dravik.exe)")
    elif [[ $launcher == wine ]]; then
        cp "$program" "$app_dir/dravik.exe"
    else
        cp "$program" "$app_dir/dravik"
    fi
    if [[ $launcher == wine ]]; then
        (cd / && exec wine "$app_dir/dravik.exe" </dev/null >/dev/null 2>&1) & app=$!
    else
        (cd / && exec "$app_dir/dravik") & app=$!
    fi
    pids+=($app)
    window=$(windows 1) || fail "the window did not appear: $(describe_program)"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
}

stop() {
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null && fail "the window did not close with alt+F4"
    local status=0
    wait "$app" || status=$?
    [[ $status -eq 0 ]] || fail "the program ended with status $status"
}

if [[ $launcher == native ]]; then
    step "0. no usable display: one line and status 1"
    for setting in DISPLAY=:1999 WAYLAND_DISPLAY=nowhere-$$ "DISPLAY=$DISPLAY QT_QPA_PLATFORM=nosuchplatform"; do
        status=0
        # shellcheck disable=SC2086  # each setting is one or two words
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work" $setting "$program" \
            >/dev/null 2>"$work/stderr" || status=$?
        [[ $status -eq 1 ]] || fail "with $setting the program ended with status $status: $(cat "$work/stderr")"
        [[ $(wc -l <"$work/stderr") -eq 1 && $(cat "$work/stderr") == "Dravik is a desktop program"* ]] ||
            fail "with $setting the program said: $(cat "$work/stderr")"
    done
fi

start "$work/app"

step "1. Ctrl+V, a middle click and Esc with nobody owning the clipboard"
click_box
ownerless_clipboard
key ctrl+v
click_box 2
key Escape
alive || fail "the program ended on a paste from an ownerless clipboard, or on Esc"

step "2. paste, Tab to the button, Space"
clipboard "$listing"
click_box
key ctrl+v
key Tab
key space
answer_message
expect_plan EAXA-EAXB.PLN "Tab and Space" "$expected"

step "3. the context menu's Undo, then Tab and Enter"
click_box 3
key u
key Tab
key Return
answer_message
expect_plan EAXA-EAXB.PLN "the context menu's Undo"

step "4. Enter held down on the button"
key ctrl+z
key Tab
# The key repeats about 25 times a second while it is held: the message it opened must be the one
# still open at the end, not answered and opened anew by the repeats.
xdotool keydown Return
sleep 0.7
first=$(windows 2) || fail "no message box while Enter is held on the button"
sleep 1.5
last=$(windows 2) || fail "no message box at the end of holding Enter"
xdotool keyup Return
[[ $first == "$last" ]] || fail "Enter held on the button answered its message and pressed again"
sleep 0.3
xdotool key Return
windows 1 >/dev/null || fail "the message box did not close"
expect_plan EAXA-EAXB.PLN "Enter held down"

step "5. a line of a megabyte, replaced by a listing"
yes "EAXA N55 E012 NORTH FIELD" | tr '\n' ' ' | head -c 1000000 >"$work/long-line.txt" || true
paste_over "$work/long-line.txt"
settle
paste_over "$listing"
click_button
answer_message
expect_plan EAXA-EAXB.PLN "a listing pasted over a long line"

step "6. Esc on the button, then Alt+F4"
key Tab
key Escape
alive || fail "Esc on the button closed the window"
stop

step "7. the program's folder on a full disk, then on a FAT image"
full=$work/full
mkdir "$full"
if mount -t tmpfs -o size=16m tmpfs "$full" 2>/dev/null; then
    mounts+=("$full")
    start "$full"
    # Fill all but 64 KB: far too little for a plan of 4000 points.
    free=$(($(stat -f -c '%a * %S' "$full")))
    head -c $((free - 65536)) /dev/zero >"$full/filler" 2>/dev/null || true
    echo "an earlier plan" >"$app_dir/EAXA-EAXB.PLN"
    {
        head -n 2 "$listing"
        line=$(sed -n 3p "$listing")
        for _ in $(seq 3998); do echo "$line"; done
        tail -n 1 "$listing"
    } >"$work/large-listing.txt"
    clipboard "$work/large-listing.txt"
    click_box
    key ctrl+v
    click_button
    answer_message
    [[ $(cat "$app_dir/EAXA-EAXB.PLN") == "an earlier plan" ]] || fail "a full disk damaged the earlier plan"
    leftovers=$(ls -A "$app_dir" | grep -v -e '^dravik' -e '^filler$' -e '^EAXA-EAXB.PLN$' -e '^README.txt$' || true)
    [[ -z $leftovers ]] || fail "a full disk left files behind: $leftovers"
    alive || fail "the program ended on a full disk"
    stop
else
    echo "   (skipped: this user cannot mount a file system)"
fi
# A FAT stick holds no permission bits: the second save of a route must replace the first all the same.
fat=$work/fat
mkdir "$fat"
if command -v mkfs.vfat >/dev/null && command -v fusefat >/dev/null && truncate -s 16M "$work/fat.img" &&
    mkfs.vfat "$work/fat.img" >/dev/null && fusefat -o rw+ "$work/fat.img" "$fat" >/dev/null 2>&1; then
    mounts+=("$fat")
    start "$fat"
    for save in first second; do
        paste_over "$listing"
        click_button
        answer_message
        [[ -f $app_dir/EAXA-EAXB.PLN ]] || fail "FAT: no plan after the $save save"
        cmp "$app_dir/EAXA-EAXB.PLN" "$expected" || fail "FAT: the $save plan differs from $expected"
    done
    stop
else
    echo "   (skipped: no FAT image could be mounted here)"
fi

echo "PASS: every step above, and the program ended with status 0"

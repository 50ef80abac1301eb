#!/usr/bin/env bash
# Runs the README's commands as a newcomer would on a fresh Debian release: makes a new root with
# debootstrap from Debian's archive, clones this repository's committed work into it, and runs there, as
# root, each command asked for, first thing: scripts/run.sh (on a desktop of this machine's, until the
# window shows, then closed as a user closes it), scripts/release.sh, and scripts/test.sh, which is
# preceded by this machine's Linux release run with only its runtime packages. The commands run in that
# order in one root, each in a clean work tree: each installs every package of the one before it
# (scripts/install-deps.sh), so none finds a package installed that it would not install itself. The
# root is removed afterwards, also when a command fails or the run is stopped.
#   scripts/test-on-debian.sh RELEASE [run] [release] [test]     RELEASE: for example trixie or
#                                                                bookworm; all three when none is named;
#                                                                needs root
# The root's /dev is a small tmpfs holding binds of this machine's device nodes, so nothing is removed
# while anything is still mounted below the root: every mount is undone first, and the removal is
# refused (and the root left for a person to look at) if one stays.
set -euo pipefail
release=${1:?usage: scripts/test-on-debian.sh RELEASE [run] [release] [test]}
shift
commands=" ${*:-run release test} "
cd "$(dirname "$0")/.."
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

[[ $(id -u) -eq 0 ]] || { echo "test-on-debian.sh: needs root, for debootstrap and chroot" >&2; exit 1; }
if ! command -v debootstrap >/dev/null || ! command -v git >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap git >/dev/null
fi

root=$(mktemp -d "/var/tmp/dravik-$release.XXXXXX")
chmod 755 "$root"  # apt inside reads its lists as the _apt user

# The mounts below the root, deepest first, as the kernel lists them now.
mounts_below_root() {
    awk -v root="$root/" 'index($2, root) == 1 { print $2 }' /proc/mounts | sort -r
}

cleanup() {
    local status=$? pid
    trap - EXIT INT TERM
    # What the tests started inside the root (a display server, wineserver, D-Bus) keeps mounts busy.
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [[ $(readlink "/proc/$pid/root" 2>/dev/null) == "$root" ]] && kill -KILL "$pid" 2>/dev/null
    done
    local mount
    for _ in 1 2 3; do
        for mount in $(mounts_below_root); do
            umount "$mount" 2>/dev/null || umount --lazy "$mount" 2>/dev/null || true
        done
        [[ -z $(mounts_below_root) ]] && break
        sleep 1
    done
    if [[ -n $(mounts_below_root) ]]; then
        echo "test-on-debian.sh: still mounted, so $root was left in place:" >&2
        mounts_below_root >&2
        exit 1
    fi
    rm -rf --one-file-system "$root"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== Debian $release: a fresh root in $root"
debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log"; rm -f "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $release main
deb $mirror $release-updates main
deb http://deb.debian.org/debian-security $release-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone --quiet --no-hardlinks . "$root/root/dravik"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount -t tmpfs -o mode=755,size=16m dev "$root/dev"
for node in null zero full random urandom tty fuse; do
    [[ -e /dev/$node ]] || continue
    touch "$root/dev/$node"
    mount --bind "/dev/$node" "$root/dev/$node"
done
mkdir "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=620 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"

# Runs a command in the root as a newcomer's shell would, in the work tree.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
        ${FUZZ_SECONDS:+FUZZ_SECONDS=$FUZZ_SECONDS} ${DISPLAY:+DISPLAY=$DISPLAY} \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "cd /root/dravik && $1"
}

if [[ $commands == *" test "* ]]; then
    # The Linux release built on this machine, run there with only what it needs (as its README.txt
    # names it) and the test desktop's tools: a program built on an older release starts and converts
    # on a newer.
    echo "== Debian $release: this machine's Linux release, with only its runtime packages"
    scripts/package-linux.sh >/dev/null
    archive=$(ls build-linux/dravik-*-linux-*.tar.gz)
    cp "$archive" "$root/root/"
    in_root "apt-get update -qq
        apt-get install -y -qq --no-install-recommends libqt6widgets6 qt6-qpa-plugins fonts-liberation \
            xvfb x11-utils openbox xdotool xclip >/dev/null
        tests/e2e/end_to_end_test.sh /root/$(basename "$archive")"
fi

if [[ $commands == *" run "* ]]; then
    # The window shows on a desktop of this machine's, whose socket the root shares; closed with Alt+F4
    # once it is there, the program ends and run.sh with it.
    echo "== Debian $release: scripts/run.sh"
    scripts/install-deps.sh test >/dev/null
    mkdir -p "$root/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    export root release
    export -f in_root
    tests/e2e/with_desktop.sh bash -c '
        in_root scripts/run.sh >"$root/run.log" 2>&1 &
        runner=$!
        window=
        for _ in $(seq 1200); do
            window=$(xdotool search --name "^Dravik\$" 2>/dev/null | head -n 1) && [[ -n $window ]] && break
            kill -0 $runner 2>/dev/null || break
            sleep 0.5
        done
        if [[ -z $window ]]; then
            tail -n 30 "$root/run.log"
            echo "FAIL: scripts/run.sh on Debian $release showed no window"
            exit 1
        fi
        xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
        wait $runner || { tail -n 30 "$root/run.log"; echo "FAIL: scripts/run.sh on Debian $release failed"; exit 1; }'
    umount "$root/tmp/.X11-unix"
    echo "scripts/run.sh: built, showed its window and ended when it was closed"
    in_root "git clean -xdfq"
fi

if [[ $commands == *" release "* ]]; then
    echo "== Debian $release: scripts/release.sh"
    in_root "scripts/release.sh" >"$root/release.log" 2>&1 ||
        { tail -n 30 "$root/release.log"; echo "FAIL: scripts/release.sh on Debian $release failed"; exit 1; }
    tail -n 3 "$root/release.log"
    in_root "git clean -xdfq"
fi

if [[ $commands == *" test "* ]]; then
    echo "== Debian $release: scripts/test.sh"
    in_root "scripts/test.sh"
fi
echo "== Debian $release: every command passed:$commands"

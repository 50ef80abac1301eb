#!/usr/bin/env bash
# Runs the README's test command as a newcomer would on a fresh Debian release: makes a new root with
# debootstrap from Debian's archive, clones this repository's committed work into it, first runs this
# machine's Linux release there with only its runtime packages, then scripts/test.sh as root, and
# removes the root afterwards, also when the run fails or is stopped.
#   scripts/test-on-debian.sh RELEASE     for example trixie or bookworm; needs root
# The root's /dev is a small tmpfs holding binds of this machine's device nodes, so nothing is removed
# while anything is still mounted below the root: every mount is undone first, and the removal is
# refused (and the root left for a person to look at) if one stays.
set -euo pipefail
release=${1:?usage: scripts/test-on-debian.sh RELEASE}
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

# The Linux release built on this machine, run there with only what it needs (as its README.txt names
# it) and the test desktop's tools: a program built on an older release starts and converts on a newer.
echo "== Debian $release: this machine's Linux release, with only its runtime packages"
scripts/package-linux.sh >/dev/null
archive=$(ls build-linux/dravik-*-linux-*.tar.gz)
cp "$archive" "$root/root/"
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "
    set -e
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends libqt6widgets6 qt6-qpa-plugins fonts-liberation \
        xvfb x11-utils openbox xdotool xclip >/dev/null
    cd /root/dravik && tests/e2e/end_to_end_test.sh /root/$(basename "$archive")"

echo "== Debian $release: scripts/test.sh"
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb ${FUZZ_SECONDS:+FUZZ_SECONDS=$FUZZ_SECONDS} \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c 'cd /root/dravik && scripts/test.sh'
echo "== Debian $release: every test passed"

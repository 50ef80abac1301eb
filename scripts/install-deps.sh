#!/usr/bin/env bash
# Installs the Debian packages Dravik needs that are missing, and nothing else. Each mode holds every
# package of the ones before it, so a script that runs after another finds nothing the first one
# installed that it would not install itself.
#   install-deps.sh run      what building and starting the program needs
#   install-deps.sh windows  what cross-building and checking the Windows program needs
#   install-deps.sh release  both: what scripts/release.sh needs
#   install-deps.sh test     all of these, plus what every test needs (the default)
set -euo pipefail
# scripts/test.sh installs everything once, and the scripts it runs need not look again.
[[ -n ${DRAVIK_DEPS_INSTALLED:-} ]] && exit 0

# qt6-wayland: the window on a Wayland desktop that has no XWayland.
# git: the release takes its time from the last commit.
run_packages=(cmake make g++ git libgtest-dev qt6-base-dev qt6-wayland libgl-dev fonts-liberation)
test_packages=(locales xvfb x11-utils openbox xdotool xclip unzip clang libclang-rt-dev clang-tidy libbenchmark-dev
               weston wl-clipboard dbus at-spi2-core python3-pyatspi fusefat dosfstools)

# unzip: scripts/check-release.sh opens the zip as a user does.
windows_packages=(cmake make g++-mingw-w64-x86-64 googletest zip unzip)
# Wine runs the Windows tests, and the arm64 cross compiler with qemu-user the engine's tests for arm64,
# where this machine is an x86-64 PC; elsewhere the machine's own build is the other architecture's.
host_packages=()
if [[ $(dpkg --print-architecture) == amd64 ]]; then
    host_packages=(wine g++-aarch64-linux-gnu qemu-user)
fi

case ${1:-test} in
    run) packages=("${run_packages[@]}") ;;
    windows) packages=("${windows_packages[@]}") ;;
    release) packages=("${run_packages[@]}" "${windows_packages[@]}") ;;
    *) packages=("${run_packages[@]}" "${windows_packages[@]}" "${test_packages[@]}" "${host_packages[@]}") ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
# A name this release does not know stops the install in one line, rather than in apt's many.
for package in "${missing[@]}"; do
    if [[ -z $(apt-cache policy "$package" 2>/dev/null | sed -n 's/^ *Candidate: *//p' | grep -v '(none)') ]]; then
        echo "install-deps.sh: this system's package lists have no package '$package'" >&2
        exit 1
    fi
done
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

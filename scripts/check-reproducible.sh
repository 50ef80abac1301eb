#!/usr/bin/env bash
# Builds both releases twice from the committed HEAD, in two fresh clones in folders of different names
# and depths, one after the other under different umasks, and fails unless every byte is the same: the
# zip, the tar.gz, SHA256SUMS and the two programs before they were stripped. Uncommitted work is not
# part of it. Builds with another Debian release's compilers may differ.
#   check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d "${TMPDIR:-/tmp}/dravik-reproducible.XXXXXX")
trap '[[ -n ${KEEP:-} ]] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

build() {
    local folder=$1 mask=$2
    git clone --quiet --no-hardlinks . "$folder"
    # Only the programs and their archives: the tests would double the time and change no byte of them.
    (cd "$folder" && umask "$mask" && scripts/release.sh -DDRAVIK_BUILD_TESTS=OFF >"$folder.log" 2>&1) ||
        { tail -n 30 "$folder.log"; fail "the release build in $folder failed"; }
}
first=$work/a
second=$work/a-second-build/in/a/deeper/folder
mkdir -p "$(dirname "$second")"
build "$first" 022
build "$second" 077

for file in release/SHA256SUMS release/dravik-*-win64.zip release/dravik-*-linux-*.tar.gz \
            build-windows/ui/dravik.exe build-linux/ui/dravik; do
    # shellcheck disable=SC2086  # the release's names are matched in each clone
    a=$(cd "$first" && ls $file) b=$(cd "$second" && ls $file)
    [[ $a == "$b" ]] || fail "the builds made different files: $a and $b"
    cmp -s "$first/$a" "$second/$b" || fail "$a differs between two builds of the same commit"
    echo "same bytes: $a ($(sha256sum <"$first/$a" | cut -c1-16)...)"
done
echo "PASS: two builds of $(git rev-parse --short HEAD) in different folders and under different umasks agree"

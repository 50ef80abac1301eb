#!/usr/bin/env bash
# Builds both releases twice from the committed HEAD, in two fresh clones in folders of different names
# and depths, one after the other under different umasks, and fails unless every byte is the same: the
# zip, the tar.gz, SHA256SUMS and the two programs before they were stripped. Uncommitted work is not
# part of it. Builds with another Debian release's compilers may differ.
#   check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "FAIL: $*"; exit 1; }

# Every file the two clones made, byte for byte; a pattern that neither matches is no release file.
compare() {
    local first=$1 second=$2 file a b
    for file in release/SHA256SUMS release/dravik-*-win64.zip release/dravik-*-linux-*.tar.gz \
                build-windows/ui/dravik.exe build-linux/ui/dravik; do
        # shellcheck disable=SC2086  # the release's names are matched in each clone
        a=$(cd "$first" && ls $file 2>/dev/null || true) b=$(cd "$second" && ls $file 2>/dev/null || true)
        [[ -z $a && -z $b && $file == build-* ]] && continue
        [[ -n $a && $a == "$b" ]] || fail "the builds made different files: ${a:-nothing} and ${b:-nothing}"
        cmp -s "$first/$a" "$second/$b" || fail "$a differs between two builds of the same commit"
        echo "same bytes: $a ($(sha256sum <"$first/$a" | cut -c1-16)...)"
    done
}
#   check-reproducible.sh --compare A B   compares what two clones A and B made, without building
if [[ ${1:-} == --compare ]]; then
    compare "$2" "$3"
    exit 0
fi
#   check-reproducible.sh --keep DIR      makes the first build in DIR and leaves it there
kept=
if [[ ${1:-} == --keep ]]; then
    kept=$2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/dravik-reproducible.XXXXXX")
trap '[[ -n ${KEEP:-} ]] || rm -rf "$work"' EXIT

build() {
    local folder=$1 mask=$2
    git clone --quiet --no-hardlinks . "$folder"
    (cd "$folder" && umask "$mask" && scripts/release.sh >"$folder.log" 2>&1) ||
        { tail -n 30 "$folder.log"; fail "the release build in $folder failed"; }
}
first=${kept:-$work/a}
second=$work/a-second-build/in/a/deeper/folder
mkdir -p "$(dirname "$second")"
build "$first" 022
build "$second" 077
compare "$first" "$second"
echo "PASS: two builds of $(git rev-parse --short HEAD) in different folders and under different umasks agree"

#!/usr/bin/env bash
# Feeds the project's own checks what they must refuse, each fault planted in a copy of a real build or
# of the tree, and fails unless every check passes the real thing and refuses every planted fault:
# - scripts/check-release.sh: a Linux object compiled without the stack protector, without FORTIFY or
#   at level 2, without stack-clash probes or CET (in its command, or only in its marks); a program
#   linked without BIND_NOW; a build without compile_commands.json; a Windows zip whose dravik.exe is
#   not the checked build's;
# - scripts/check-reproducible.sh --compare: two releases that differ in one byte or one time stamp;
# - scripts/check-layers.sh: an include that points upwards;
# - the note's forms (conversion/messages.h): a brace left open, a name the note does not fill.
#   checks_refuse_test.sh [CLONE]   the release builds of CLONE (scripts/test.sh hands it the one that
#                                   check-reproducible.sh made), or of this tree, built where missing
set -euo pipefail
cd "$(dirname "$0")/../.."
if [[ -n ${1:-} ]]; then
    builds=$(realpath "$1")
else
    builds=$PWD
    scripts/package-linux.sh >/dev/null
fi
root=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 checked=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect pass <what> <command...>, or expect refuse <what> <because> <command...>: the check's verdict
# on what it was fed, and for a refusal the words that say why, so that no other failure passes for it.
expect() {
    local verdict=$1 what=$2 because=
    shift 2
    [[ $verdict == refuse ]] && { because=$1; shift; }
    checked=$((checked + 1))
    if "$@" >"$work/out" 2>&1; then
        [[ $verdict == pass ]] || fail "$what: passed, but it must be refused"
    elif [[ $verdict == pass ]]; then
        fail "$what: refused, but it must pass"
        tail -n 5 "$work/out"
    elif ! grep -qF -- "$because" "$work/out"; then
        fail "$what: refused, but not because of \"$because\""
        tail -n 5 "$work/out"
    fi
}

# The real release builds, as scripts/release.sh leaves them.
archive=$(ls "$builds"/build-linux/dravik-*-linux-*.tar.gz)
name=$(basename "$archive" .tar.gz)

# A copy of the Linux build with one fault planted by `plant`, run in the copy, then the archive
# packed again from its program.
linux() {
    local what=$1 because=$2 plant=$3
    rm -rf "$work/linux"
    cp -a "$builds/build-linux" "$work/linux"
    # The copy's commands and paths name its own folder.
    sed -i "s|$builds/build-linux|$work/linux|g" "$work/linux/compile_commands.json"
    (cd "$work/linux" && eval "$plant")
    mkdir -p "$work/pack/$name"
    strip --strip-all -o "$work/pack/$name/dravik" "$work/linux/ui/dravik"
    tar -xzf "$archive" -C "$work/pack" "$name/README.txt"
    tar -czf "$work/linux/$name.tar.gz" -C "$work/pack" "$name"
    rm -rf "$work/pack"
    expect refuse "Linux: $what" "$because" scripts/check-release.sh "$work/linux/$name.tar.gz" "$work/linux"
}
# In the copy: compiles text.cpp.o again with its command's $1 replaced by $2 (a flag dropped or
# changed), writes that command into compile_commands.json unless $3 is "marks only" (a database that
# does not tell), and links the program again.
recompile() {
    python3 - "$@" <<'PYTHON'
import json, subprocess, sys
old, new = sys.argv[1], sys.argv[2]
marks_only = len(sys.argv) > 3 and sys.argv[3] == "marks only"
entries = json.load(open("compile_commands.json"))
entry = next(e for e in entries if e["file"].endswith("/text/text.cpp"))
command = entry["command"].replace(old, new)
assert command != entry["command"], "nothing to plant: " + old
subprocess.run(command, shell=True, cwd=entry["directory"], check=True)
if not marks_only:
    entry["command"] = command
    json.dump(entries, open("compile_commands.json", "w"), indent=2)
PYTHON
    ar r text/libdravik_text.a text/CMakeFiles/dravik_text.dir/text.cpp.o 2>/dev/null
    relink
}
relink() { (cd ui/qt && eval "$(sed "${1:-}" CMakeFiles/dravik.dir/link.txt)"); }

expect pass "Linux: the release as built" scripts/check-release.sh "$archive" "$builds/build-linux"
linux "an object without the stack protector" "without -fstack-protector-strong (-fno-stack-protector)" "recompile -fstack-protector-strong -fno-stack-protector"
linux "an object with the weaker stack protector" "without -fstack-protector-strong (-fstack-protector)" "recompile -fstack-protector-strong -fstack-protector"
linux "an object without FORTIFY" "without -D_FORTIFY_SOURCE=3 (none)" "recompile '-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3' ''"
linux "an object with FORTIFY at level 2" "without -D_FORTIFY_SOURCE=3 (-D_FORTIFY_SOURCE=2)" "recompile -D_FORTIFY_SOURCE=3 -D_FORTIFY_SOURCE=2"
linux "an object without stack-clash probes" "without -fstack-clash-protection" "recompile -fstack-clash-protection ''"
linux "an object without the C++ library's assertions" "without -D_GLIBCXX_ASSERTIONS" "recompile -D_GLIBCXX_ASSERTIONS ''"
if [[ $(uname -m) == x86_64 ]]; then
    linux "an object without CET" "without -fcf-protection=full" "recompile -fcf-protection=full ''"
    linux "an object without CET whose command says otherwise" 'lacks the mark "x86 feature: IBT, SHSTK"' \
        "recompile -fcf-protection=full -fcf-protection=none 'marks only'"
fi
linux "a link without BIND_NOW" "lacks full RELRO" "relink s/-z,now/-z,lazy/"
linux "no compile_commands.json" "compile_commands.json is missing" "rm compile_commands.json"

# The Windows zip as package-windows.sh makes it, and one whose dravik.exe is another build's: a byte
# of its code changed.
if command -v x86_64-w64-mingw32-objdump >/dev/null && [[ -f $builds/build-windows/ui/dravik.exe ]]; then
    zip=$(ls "$builds"/build-windows/dravik-*-win64.zip)
    windows=$(basename "$zip" .zip)
    expect pass "Windows: the release as built" scripts/check-release.sh "$zip" "$builds/build-windows"
    mkdir -p "$work/windows"
    unzip -q "$zip" -d "$work/windows"
    text=$((0x$(x86_64-w64-mingw32-objdump -h "$work/windows/$windows/dravik.exe" |
               awk '$2 == ".text" { print $6 }') + 100))
    printf '\xcc' | dd of="$work/windows/$windows/dravik.exe" bs=1 seek="$text" conv=notrunc status=none
    (cd "$work/windows" && zip -qr "$work/other.zip" "$windows")
    mv "$work/other.zip" "$work/windows/$windows.zip"
    expect refuse "Windows: a dravik.exe that is not the checked build" ".text is not the checked build's" \
        scripts/check-release.sh "$work/windows/$windows.zip" "$builds/build-windows"
fi

# Two release folders, the same and then one byte or one time stamp apart.
mkdir -p "$work/a/release" "$work/b/release"
printf 'one plan\n' >"$work/a/release/dravik-1.0.0-win64.zip"
tar -czf "$work/a/release/dravik-1.0.0-linux-x86_64.tar.gz" --mtime=@1 -C "$work" a/release/dravik-1.0.0-win64.zip
(cd "$work/a/release" && sha256sum -- * >SHA256SUMS)
cp -a "$work/a/release/." "$work/b/release/"
expect pass "releases: the same bytes" scripts/check-reproducible.sh --compare "$work/a" "$work/b"
printf 'one plaN\n' >"$work/b/release/dravik-1.0.0-win64.zip"
expect refuse "releases: one byte apart" "win64.zip differs" scripts/check-reproducible.sh --compare "$work/a" "$work/b"
cp "$work/a/release/dravik-1.0.0-win64.zip" "$work/b/release/"
tar -czf "$work/b/release/dravik-1.0.0-linux-x86_64.tar.gz" --mtime=@2 -C "$work" a/release/dravik-1.0.0-win64.zip
expect refuse "releases: one time stamp apart" "tar.gz differs" scripts/check-reproducible.sh --compare "$work/a" "$work/b"

# The tree's rooms, and one include that points upwards.
mkdir -p "$work/tree"
cp -a text platform conversion testing ui scripts "$work/tree/"
expect pass "layers: the tree as it is" "$work/tree/scripts/check-layers.sh"
echo '#include "conversion/route_listing.h"' >>"$work/tree/text/text.cpp"
expect refuse "layers: text/ including conversion/" 'text/text.cpp includes "conversion/route_listing.h"' "$work/tree/scripts/check-layers.sh"

# The note's forms, each checked as it is compiled.
form() {
    printf '#include "conversion/messages.h"\nconstexpr dravik::Form kForm = u"%s";\n' "$1" >"$work/form.cpp"
    ${CXX:-c++} -std=c++20 -fsyntax-only -I "$root" "$work/form.cpp"
}
expect pass "forms: a well-formed one" form "Line {line} of {count}"
expect refuse "forms: a brace left open" "a form holds an unmatched brace" form "Line {line of {count}"
expect refuse "forms: a closing brace alone" "a form holds an unmatched brace" form "Line line} of {count}"
expect refuse "forms: a name the note does not fill" "a form holds an unmatched brace" form "Line {lines}"

if ((failures > 0)); then
    echo "checks: $failures of $checked verdicts wrong"
    exit 1
fi
echo "checks: $checked passed, 0 failed"

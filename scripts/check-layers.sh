#!/usr/bin/env bash
# Checks that every room of the tree includes only from the rooms below it, and that the rooms below the
# windows include no toolkit and, but for platform/, no operating system header. The repository's root is
# the include folder of every target, so the compiler alone would let conversion/ include a window.
#   check-layers.sh          (run by CTest as the test "layers")
set -euo pipefail
cd "$(dirname "$0")/.."

# room | the rooms its code may include from | what else it may include
rules=(
    "text|text|standard"
    "platform|text platform|system"
    "conversion|text platform conversion|standard"
    "testing|text platform conversion testing|system"
    "ui/shared|text ui/shared|standard"
    "ui/qt|text platform conversion ui/shared ui/qt|toolkit"
    "ui/win32|text platform conversion ui/shared ui/win32|system"
)
# Headers of an operating system or a toolkit, which the standard rooms must not include.
system_headers='^(windows|commctrl|shellapi|oleacc|unistd|fcntl|iconv|dlfcn|pthread|sys/.*|Q.*|Qt.*/.*)\.?h?$'

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for rule in "${rules[@]}"; do
    IFS='|' read -r room allowed others <<<"$rule"
    for file in $(git ls-files --cached --others --exclude-standard "$room/*.h" "$room/*.cpp" 2>/dev/null || find "$room" -name '*.h' -o -name '*.cpp'); do
        # Tests may also use the tests' helpers: below the command, only its folders and files and the
        # system's words for an error.
        extra=
        if [[ $file == *_test.cpp ]]; then
            extra="testing"
            [[ $room == text || $room == platform ]] && extra="testing/folders.h testing/system_words.h"
        fi
        while IFS= read -r included; do
            top=${included%/*}
            [[ $included == */* ]] || top=
            ok=
            for from in $allowed $extra; do
                [[ $included == "$from"/* || $included == "$from" ]] && ok=yes
            done
            [[ -n $ok ]] || fail "$file includes \"$included\", from a room it may not use"
        done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
        # (A test may use the system to run a child with a limit; the code it tests may not.)
        if [[ $others == standard && $file != *_test.cpp ]]; then
            while IFS= read -r included; do
                if [[ $included =~ $system_headers ]]; then
                    fail "$file includes <$included>, which only platform/ and the windows may"
                fi
            done < <(sed -n 's/^#include <\([^>]*\)>.*/\1/p' "$file" | grep -v -e '^gtest/' -e '^gmock/')
        fi
    done
done

if [[ $failures -gt 0 ]]; then
    echo "layers: $failures includes against the arrows"
    exit 1
fi
echo "layers: every include points downwards"

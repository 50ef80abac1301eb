#!/usr/bin/env bash
# Checks a release archive, as it is published, against the build folder that made it:
#   check-release.sh <dravik-VERSION-win64.zip | dravik-VERSION-linux-x86_64.tar.gz> <build folder>
# Both hold one folder named like the archive with the stripped program and README.txt. The program is
# hardened as the release asks: on Windows a randomised, non-executable-data image (DYNAMIC_BASE,
# HIGH_ENTROPY_VA, NX_COMPAT) with the stack protector, under 1 MB and importing only Windows' own DLLs;
# on Linux PIE, full RELRO, no executable stack, the stack protector, fortified C library calls, the C++
# library's assertions, control-flow protection and stack-clash probes, needing only Qt and the C and
# C++ libraries.
set -euo pipefail
archive=$(realpath "$1")
build=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

case $archive in
    *.zip) name=$(basename "$archive" .zip) system=windows program=dravik.exe ;;
    *.tar.gz) name=$(basename "$archive" .tar.gz) system=linux program=dravik ;;
    *) fail "not a release archive: $archive" ;;
esac
if [[ $system == windows ]]; then
    unzip -q "$archive" -d "$work"
else
    tar -xzf "$archive" -C "$work"
fi
entries=$(cd "$work" && find . -type f | sort | tr '\n' ' ')
[[ $entries == "./$name/README.txt ./$name/$program " ]] || fail "unexpected contents: $entries"
released=$work/$name/$program
built=$build/ui/$program
size=$(stat -c %s "$released")

readme=$work/$name/README.txt
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
[[ $system == windows ]] && ends=$crlf || ends=$((lines - crlf))
[[ $lines -gt 0 && $lines -eq $ends ]] || fail "README.txt: $ends of $lines lines end as $system's do"
version=${name#dravik-}
version=${version%%-*}

if [[ $system == windows ]]; then
    # UTF-8 with a byte-order mark, so that every Notepad reads the degree signs right.
    [[ $(head -n 1 "$readme" | tr -d '\r') == $'\xef\xbb\xbf'"Dravik $version for Windows" ]] ||
        fail "README.txt does not start with a byte-order mark and \"Dravik $version for Windows\""
    ((size < 1000000)) || fail "dravik.exe is $size bytes, not under 1 MB"
    sections=$(x86_64-w64-mingw32-objdump -h "$released" | awk '$2 ~ /^\.debug/ { print $2 }')
    [[ -z $sections ]] || fail "dravik.exe still has debug sections: $sections"
    header=$(x86_64-w64-mingw32-objdump -p "$released")
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        grep -qw "$flag" <<<"$header" || fail "dravik.exe lacks $flag"
    done
    # The symbols are gone from the released program; the one it was stripped from still has them.
    symbols=$(x86_64-w64-mingw32-nm "$built")
    for symbol in __stack_chk_fail __stack_chk_guard; do
        grep -qw "$symbol" <<<"$symbols" || fail "dravik.exe has no stack protector ($symbol)"
    done
    needs=$(awk '/DLL Name:/ { print toupper($3) }' <<<"$header" | sort | tr '\n' ' ')
    for dll in $needs; do
        case $dll in
            ADVAPI32.DLL | COMCTL32.DLL | GDI32.DLL | KERNEL32.DLL | MSVCRT.DLL | USER32.DLL | SHELL32.DLL) ;;
            *) fail "dravik.exe needs $dll, which Windows does not bring" ;;
        esac
    done
else
    [[ $(head -n 1 "$readme") == "Dravik $version for Linux" ]] ||
        fail "README.txt does not start with \"Dravik $version for Linux\""
    sections=$(readelf -SW "$released" | grep -oE '\.(symtab|debug_[a-z]+)' | sort -u | tr '\n' ' ' || true)
    [[ -z $sections ]] || fail "dravik is not stripped: $sections"
    readelf -hW "$released" | grep -q 'Type: *DYN' && readelf -dW "$released" | grep -q 'FLAGS_1.*PIE' ||
        fail "dravik is no position-independent executable"
    readelf -lW "$released" | grep -q GNU_RELRO && readelf -dW "$released" | grep -q 'FLAGS.*BIND_NOW' ||
        fail "dravik lacks full RELRO (GNU_RELRO and BIND_NOW)"
    readelf -lW "$released" | grep GNU_STACK | grep -q ' RW ' || fail "dravik's stack is executable"
    imports=$(nm -D --undefined-only "$released")
    grep -q '__stack_chk_fail' <<<"$imports" || fail "dravik has no stack protector (__stack_chk_fail)"
    grep -qE '__[a-z]+_chk@' <<<"$imports" || fail "dravik has no fortified C library calls (_FORTIFY_SOURCE)"
    grep -q '__glibcxx_assert_fail' <<<"$imports" || fail "dravik lacks the C++ library's assertions"
    # What the binary cannot show: every file of the program compiled with the rest of the flags, and
    # its code marked for control-flow enforcement (the C library's start files may lack the mark,
    # which then leaves it out of the program as a whole).
    for flag in -fstack-clash-protection -fcf-protection=full; do
        missing=$(grep '"command"' "$build/compile_commands.json" | grep -vc -- "$flag" || true)
        [[ $missing -eq 0 ]] || fail "$missing files of dravik were compiled without $flag"
    done
    for library in "$build"/text/*.a "$build"/platform/*.a "$build"/conversion/*.a "$build"/ui/qt/*.a; do
        marked=$(readelf -nW "$library" | grep -c 'x86 feature: IBT, SHSTK' || true)
        members=$(ar t "$library" | grep -c '\.o$')
        [[ $marked -eq $members ]] || fail "$(basename "$library"): $marked of $members objects have IBT and SHSTK"
    done
    needs=$(readelf -dW "$released" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
    for library in $needs; do
        case $library in
            libQt6Widgets.so.6 | libQt6Gui.so.6 | libQt6Core.so.6 | libstdc++.so.6 | libm.so.6 | libgcc_s.so.1 | libc.so.6) ;;
            *) fail "dravik needs $library, which is neither Qt nor the C or C++ library" ;;
        esac
    done
fi
echo "PASS: $(basename "$archive") holds $program ($size bytes, stripped and hardened) and README.txt"

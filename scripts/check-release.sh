#!/usr/bin/env bash
# Checks the Windows release zip: one folder named like the zip holding dravik.exe (stripped, under
# 1 MB, importing only Windows' own DLLs) and README.txt (UTF-8 with a byte-order mark, every line
# ending in CR LF).
#   check-release.sh <dravik-VERSION-win64.zip>
set -euo pipefail
zip=$(realpath "$1")
name=$(basename "$zip" .zip)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

unzip -q "$zip" -d "$work"
entries=$(cd "$work" && find . -type f | sort | tr '\n' ' ')
[[ $entries == "./$name/README.txt ./$name/dravik.exe " ]] || fail "unexpected contents: $entries"

exe=$work/$name/dravik.exe
size=$(stat -c %s "$exe")
((size < 1000000)) || fail "dravik.exe is $size bytes, not under 1 MB"
sections=$(x86_64-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\.debug/ { print $2 }')
[[ -z $sections ]] || fail "dravik.exe still has debug sections: $sections"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\n' ' ')
for dll in $dlls; do
    case $dll in
        ADVAPI32.DLL | COMCTL32.DLL | GDI32.DLL | KERNEL32.DLL | MSVCRT.DLL | USER32.DLL | SHELL32.DLL) ;;
        *) fail "dravik.exe needs $dll, which Windows does not bring" ;;
    esac
done

readme=$work/$name/README.txt
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
[[ $lines -gt 0 && $lines -eq $crlf ]] || fail "README.txt: $crlf of $lines lines end in CR LF"
version=${name#dravik-}
version=${version%-win64}
# UTF-8 with a byte-order mark, so that every Notepad reads the degree signs right.
[[ $(head -n 1 "$readme" | tr -d '\r') == $'\xef\xbb\xbf'"Dravik $version for Windows" ]] ||
    fail "README.txt does not start with a byte-order mark and \"Dravik $version for Windows\""

echo "PASS: $name.zip holds dravik.exe ($size bytes, stripped; imports $dlls) and README.txt in CR LF"

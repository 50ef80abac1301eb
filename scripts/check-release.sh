#!/usr/bin/env bash
# Checks a release archive, as it is published, against the build folder that made it:
#   check-release.sh <dravik-VERSION-win64.zip | dravik-VERSION-linux-ARCH.tar.gz> <build folder>
# Both hold one folder named like the archive with the stripped program and README.txt. The program is
# hardened as the release asks, and each protection is read where it shows, refusing what cannot be read:
# - Windows: a randomised, non-executable-data image (DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT) with the
#   stack protector, under 1 MiB and importing only Windows' own DLLs. The stripped program has no
#   symbols left to show the stack protector, so every section it holds must be the build's, byte for
#   byte, whose symbols then show it.
# - Linux: PIE, full RELRO (BIND_NOW), no executable stack, needing only Qt and the C and C++ libraries,
#   and importing the stack protector's, the fortified C library's and the C++ library's checks; and
#   every object linked into it compiled, by its command in compile_commands.json, with
#   -fstack-protector-strong, -D_FORTIFY_SOURCE=3 and -D_GLIBCXX_ASSERTIONS, and with what its
#   architecture has: stack-clash probes on x86-64 and arm64, CET on x86-64 and BTI with PAC on arm64,
#   each also read from the object's own notes.
set -euo pipefail
archive=$(realpath "$1")
build=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
case $archive in
    *.zip) name=$(basename "$archive" .zip) system=windows program=dravik.exe tools="unzip" ;;
    *.tar.gz) name=$(basename "$archive" .tar.gz) system=linux program=dravik tools="tar readelf nm ar" ;;
    *) fail "not a release archive: $archive" ;;
esac
for tool in $tools; do
    command -v "$tool" >/dev/null || fail "check-release.sh needs $tool, which this system lacks"
done
if [[ $system == windows ]]; then
    unzip -q "$archive" -d "$work"
else
    tar -xzf "$archive" -C "$work"
fi
entries=$(cd "$work" && find . -type f | sort | tr '\n' ' ')
[[ $entries == "./$name/README.txt ./$name/$program " ]] || fail "unexpected contents: $entries"
released=$work/$name/$program
built=$build/ui/$program
[[ -f $built ]] || fail "$built is not there: the build folder does not hold the program it released"
size=$(stat -c %s "$released")

readme=$work/$name/README.txt
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
[[ $system == windows ]] && ends=$crlf || ends=$((lines - crlf))
[[ $lines -gt 0 && $lines -eq $ends ]] || fail "README.txt: $ends of $lines lines end as $system's do"
version=${name#dravik-}
version=${version%%-*}

# The option among `options` that stands last in a compile command, which is the one the compiler keeps.
last_of() {
    local command=$1 found= word
    shift
    for word in $command; do
        for option in "$@"; do
            [[ $word == "$option" ]] && found=$word
        done
    done
    echo "$found"
}

if [[ $system == windows ]]; then
    # UTF-8 with a byte-order mark, so that every Notepad reads the degree signs right.
    [[ $(head -n 1 "$readme" | tr -d '\r') == $'\xef\xbb\xbf'"Dravik $version for Windows" ]] ||
        fail "README.txt does not start with a byte-order mark and \"Dravik $version for Windows\""
    ((size < 1048576)) || fail "dravik.exe is $size bytes, not under 1 MiB (1,048,576 bytes)"
    objdump=x86_64-w64-mingw32-objdump objcopy=x86_64-w64-mingw32-objcopy
    command -v $objdump >/dev/null || fail "check-release.sh needs $objdump (MinGW-w64's binutils)"
    sections=$($objdump -h "$released" | awk '$1 ~ /^[0-9]+$/ { print $2 }')
    [[ -n $sections ]] || fail "dravik.exe: no sections could be read"
    for section in $sections; do
        [[ $section == .debug* ]] && fail "dravik.exe still has debug sections: $section"
        $objcopy -O binary --only-section="$section" "$released" "$work/released.section"
        $objcopy -O binary --only-section="$section" "$built" "$work/built.section"
        cmp -s "$work/released.section" "$work/built.section" ||
            fail "dravik.exe's $section is not the checked build's ($built)"
    done
    header=$($objdump -p "$released")
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        grep -qw "$flag" <<<"$header" || fail "dravik.exe lacks $flag"
    done
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
    machine=$(readelf -hW "$released" | sed -n 's/^ *Machine: *//p')
    case $machine in
        *X86-64*) architecture=x86_64 ;;
        AArch64) architecture=aarch64 ;;
        *) architecture=other ;;
    esac
    [[ $name == *-linux-$architecture || $architecture == other ]] ||
        fail "$name holds a program for $machine"
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
    needs=$(readelf -dW "$released" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
    for library in $needs; do
        case $library in
            libQt6Widgets.so.6 | libQt6Gui.so.6 | libQt6Core.so.6 | libstdc++.so.6 | libm.so.6 | libgcc_s.so.1 | libc.so.6 | ld-linux-*.so.*) ;;
            *) fail "dravik needs $library, which is neither Qt nor the C or C++ library" ;;
        esac
    done

    # What the program cannot show: how each of its objects was compiled.
    database=$build/compile_commands.json
    [[ -s $database ]] || fail "$database is missing: how dravik's objects were compiled cannot be read"
    link=$build/ui/qt/CMakeFiles/dravik.dir/link.txt
    [[ -s $link ]] || fail "$link is missing: which objects make dravik cannot be read"
    # An object by its target and its name, as a library lists its members: the folders CMake puts
    # between the two (a target's generated sources) are left out.
    key() { echo "${1%%.dir/*}.dir/$(basename "$1")"; }
    # Each compile command, and the object it writes, by that key.
    declare -A compiled=() written=()
    while IFS=$'\t' read -r directory command; do
        object=$(sed -n 's/.* -o \([^ ]*\) .*/\1/p' <<<"$command ")
        [[ -n $object ]] || fail "a compile command in $database names no object: $command"
        [[ $object == /* ]] || object=$directory/$object
        object=$(realpath -m --relative-to="$build" "$object")
        compiled[$(key "$object")]=$command
        written[$(key "$object")]=$object
    done < <(sed -n -e 's/^ *"directory": "\(.*\)",$/\1/p' -e 's/^ *"command": "\(.*\)",$/\1/p' "$database" |
             paste - -)
    # The objects of the link: the program's own, and every member of the libraries it names.
    objects=()
    for word in $(cat "$link"); do
        case $word in
            *.o) objects+=("$(key "$(realpath -m --relative-to="$build" "$build/ui/qt/$word")")") ;;
            *.a)
                library=$(realpath -m --relative-to="$build" "$build/ui/qt/$word")
                folder=$(dirname "$library") target=$(basename "$library" .a)
                for member in $(ar t "$build/$library"); do
                    objects+=("$folder/CMakeFiles/${target#lib}.dir/$member")
                done
                ;;
        esac
    done
    ((${#objects[@]} > 0)) || fail "$link links no object"
    case $architecture in
        x86_64) wanted=(-fstack-clash-protection -fcf-protection=full) note='x86 feature: IBT, SHSTK' ;;
        aarch64) wanted=(-fstack-clash-protection -mbranch-protection=standard) note='AArch64 feature: BTI, PAC' ;;
        *) wanted=() note= ;;
    esac
    for object in "${objects[@]}"; do
        command=${compiled[$object]:-}
        [[ -n $command ]] || fail "$object is linked into dravik, but compile_commands.json has no command for it"
        protector=$(last_of "$command" -fstack-protector -fstack-protector-strong -fstack-protector-all \
                            -fstack-protector-explicit -fno-stack-protector)
        [[ $protector == -fstack-protector-strong || $protector == -fstack-protector-all ]] ||
            fail "$object was compiled without -fstack-protector-strong (${protector:-none})"
        fortify=$(last_of "$command" -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE -D_FORTIFY_SOURCE=1 \
                          -D_FORTIFY_SOURCE=2 -D_FORTIFY_SOURCE=3)
        [[ $fortify == -D_FORTIFY_SOURCE=3 ]] || fail "$object was compiled without -D_FORTIFY_SOURCE=3 (${fortify:-none})"
        assertions=$(last_of "$command" -D_GLIBCXX_ASSERTIONS -U_GLIBCXX_ASSERTIONS)
        [[ $assertions == -D_GLIBCXX_ASSERTIONS ]] || fail "$object was compiled without -D_GLIBCXX_ASSERTIONS"
        for flag in "${wanted[@]}"; do
            kind=${flag%%=*}
            kind=${kind#-f}
            kind=${kind#-m}
            [[ $(last_of "$command" "$flag" "-fno-$kind" -fcf-protection=none -fcf-protection=branch \
                         -fcf-protection=return -mbranch-protection=none -mbranch-protection=bti \
                         -mbranch-protection=pac-ret) == "$flag" ]] ||
                fail "$object was compiled without $flag"
        done
        if [[ -n $note ]]; then
            file=$build/${written[$object]}
            [[ -f $file ]] || fail "$file is gone: its marks cannot be read"
            readelf -nW "$file" | grep -q "$note" || fail "$object lacks the mark \"$note\""
        fi
    done
    checked="${#objects[@]} objects"
fi
echo "PASS: $(basename "$archive") holds $program ($size bytes, stripped and hardened${checked:+, $checked checked}) and README.txt"

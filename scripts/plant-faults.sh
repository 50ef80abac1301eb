#!/usr/bin/env bash
# Plants one small fault at a time in the product's C++ (a comparison or a logical operator swapped, a
# "+ 1" made "- 1", a constant off by one, a condition negated, a statement or a return value dropped),
# builds what it touches in one build folder, runs the unit tests, and reports each fault that no test
# caught, with its file, line and change. The source is restored after each fault, also when the run is
# stopped.
#   plant-faults.sh [-l] [-c CHANGES] [-n COUNT] [-s SEED] [FILE...]
#     -l        list the changes the files allow, and plant none
#     -c FILE   plant the changes FILE lists, as -l lists them (to see that a fault no longer lives)
#     -n COUNT  plant COUNT faults drawn with SEED (default 1) from every change the files allow;
#               without -n, plant every change of the files
#     FILE      product files to plant in (default: every one that the Linux tests reach: text/,
#               platform/ but for the Windows files, conversion/ and ui/qt/, tests excluded)
# A fault in a room runs the tests of that room and of the rooms that link it, the changed file's own
# test first; in ui/qt/, a fault the headless window tests let through meets the window's end-to-end
# tests too (the program on an X11 desktop, to a screen reader and on Wayland), through ctest. A change
# that does not compile counts as neither caught nor living. Equivalent changes, which no test can tell from the code as it stands, are listed in
# docs/developing.md.
set -euo pipefail
cd "$(dirname "$0")/.."
count= seed=1 list= given=
while getopts "lc:n:s:" option; do
    case $option in
        l) list=yes ;;
        c) given=$(realpath "$OPTARG") ;;
        n) count=$OPTARG ;;
        s) seed=$OPTARG ;;
        *) echo "usage: plant-faults.sh [-l] [-c CHANGES] [-n COUNT] [-s SEED] [FILE...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
    mapfile -t files < <(git ls-files 'text/*.cpp' 'text/*.h' 'platform/*.cpp' 'platform/*.h' 'conversion/*.cpp' \
                                      'conversion/*.h' 'ui/qt/*.cpp' 'ui/qt/*.h' |
                         grep -v -e '_test\.cpp$' -e '_windows\.' -e 'qt_test_main' -e 'ui/qt/main.cpp')
fi

build=build-faults
work=$(mktemp -d)
# Copying the original back gives the file a new time, so the next build compiles it again.
restore() {
    if [[ -f $work/original ]]; then
        cp "$work/original" "$(cat "$work/file")"
        rm -f "$work/original"
    fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Every change a line allows, as "file<TAB>line<TAB>column<TAB>before<TAB>after", one a line. Comments,
# includes and string literals are left alone.
changes() {
    local file=$1
    awk -v file="$file" '
        function emit(column, before, after) { printf "%s\t%d\t%d\t%s\t%s\n", file, NR, column, before, after }
        # The line with its string and character literals blanked, so that nothing in them is changed.
        function code(line,    out, i, c, quote) {
            out = ""; quote = ""
            for (i = 1; i <= length(line); i++) {
                c = substr(line, i, 1)
                if (quote != "") {
                    if (c == "\\") { out = out "  "; i++; continue }
                    if (c == quote) quote = ""
                    out = out " "
                } else if (c == "\"" || c == "\x27") {
                    quote = c; out = out " "
                } else out = out c
            }
            return out
        }
        # Lines only the Windows build compiles: the Linux tests can catch nothing there.
        /^[ \t]*#[ \t]*if/ {
            depth++
            windows[depth] = $0 ~ /_WIN32/ && $0 !~ /!defined|#[ \t]*ifndef/
            linux[depth] = $0 ~ /_WIN32/ && !windows[depth]
        }
        /^[ \t]*#[ \t]*el/ { if (depth > 0 && (windows[depth] || linux[depth])) windows[depth] = !windows[depth] }
        /^[ \t]*#[ \t]*endif/ { if (depth > 0) depth-- }
        function inWindows(    d) { for (d = 1; d <= depth; d++) if (windows[d]) return 1; return 0 }
        {
            line = $0
            if (line ~ /^[ \t]*(\/\/|#|\*|\/\*)/) next
            if (inWindows()) next
            comment = index(line, "//")
            text = code(line)
            if (comment > 0 && substr(text, comment, 2) == "//") text = substr(text, 1, comment - 1)
            n = split(" < @ <= @ > @ >= @ == @ != @ && @ || @+ 1@- 1", ops, "@")
            split(" <= @ < @ >= @ > @ != @ == @ || @ && @- 1@+ 1", swaps, "@")
            for (k = 1; k <= n; k++) {
                op = ops[k]
                from = 1
                while ((at = index(substr(text, from), op)) > 0) {
                    column = from + at - 1
                    emit(column, op, swaps[k])
                    from = column + length(op)
                }
            }
            # Whole numbers outside names: one more.
            rest = text; offset = 0
            while (match(rest, /[^A-Za-z0-9_.][0-9]+[^A-Za-z0-9_.x]/)) {
                number = substr(rest, RSTART + 1, RLENGTH - 2)
                emit(offset + RSTART + 1, number, number + 1)
                offset += RSTART + RLENGTH - 2; rest = substr(rest, RSTART + RLENGTH - 1)
            }
            if (match(text, /if \(.*\) \{$/)) {
                condition = substr(line, RSTART + 4, RLENGTH - 7)
                emit(RSTART + 4, condition, "!(" condition ")")
            }
            if (match(text, /return [^;{}]+;$/)) {
                value = substr(line, RSTART + 7, RLENGTH - 8)
                if (value == "true") emit(RSTART + 7, value, "false")
                else if (value == "false") emit(RSTART + 7, value, "true")
                # An empty optional or a null pointer is "{}" already.
                else if (value != "std::nullopt" && value != "nullptr") emit(RSTART + 7, value, "{}")
            }
            # A statement that calls or assigns, alone on its line.
            if (match(text, /^[ \t]*[A-Za-z_][A-Za-z0-9_.>:\[\]-]*( ?[-+*\/|&]?= |\(|\+\+|--|\.|->)[^;]*;[ \t]*$/) &&
                text !~ /^[ \t]*(return|const|auto|static|constexpr|using|typedef|std::|Text |bool |int |char|double|QString)/ &&
                text !~ /= (delete|default);/) {
                start = match(text, /[^ \t]/)
                emit(start, substr(line, start), ";")
            }
        }' "$file"
}

for file in "${files[@]}"; do
    changes "$file"
done >"$work/all"
if [[ -n $given ]]; then
    cp "$given" "$work/chosen"
elif [[ -n $count ]]; then
    awk -v seed="$seed" 'BEGIN { srand(seed) } { printf "%.12f\t%s\n", rand(), $0 }' "$work/all" | sort -n |
        awk -v count="$count" 'NR <= count' | cut -f 2- | sort -t $'\t' -k1,1 -k2,2n >"$work/chosen"
else
    cp "$work/all" "$work/chosen"
fi
if [[ -n $list ]]; then
    cat "$work/all"
    exit 0
fi
scripts/install-deps.sh test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DDRAVIK_BUILD_BENCH=OFF >/dev/null
# The tests of each room, and of every room above it that links it.
text_tests=(text_test line_breaks_test)
platform_tests=(simulator_code_page_test platform_linux_test)
conversion_tests=(route_listing_test damaged_lines_test coordinates_test flight_plan_test plan_file_test
                  convert_command_test save_outcome_test convert_command_memory_test convert_command_faults_test)
window_tests=(frm_dravik_test listing_box_test ctest:dravik_end_to_end ctest:dravik_screen_reader
              ctest:dravik_wayland)
declare -A reach=([text]="${text_tests[*]} ${platform_tests[*]} ${conversion_tests[*]}"
                  [platform]="${platform_tests[*]} ${conversion_tests[*]}" [conversion]="${conversion_tests[*]}"
                  [ui/qt]="${window_tests[*]}")
all_tests=("${text_tests[@]}" "${platform_tests[@]}" "${conversion_tests[@]}" "${window_tests[@]}")
# What a test needs built: a unit test its own program, an end-to-end test the program and the window
# test that the Wayland one runs.
targets() {
    if [[ $1 == ctest:* ]]; then echo dravik frm_dravik_test; else echo "$1"; fi
}
echo "building the tests once in $build"
# shellcheck disable=SC2046 # one target a word
cmake --build "$build" -j "$(nproc)" --target $(for test in "${all_tests[@]}"; do targets "$test"; done) \
    >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log"; echo "plant-faults.sh: the tests do not build as they stand"; exit 1; }

declare -A programs=()
for test in "${all_tests[@]}"; do
    [[ $test == ctest:* ]] && continue
    programs[$test]=$(realpath "$(find "$build" -name "$test" -type f -perm -u+x | head -n 1)")
done

# Runs one test, quietly: a unit test's program within `limit` seconds, an end-to-end test through
# ctest within its own time-out.
run() {
    local test=$1 limit=$2
    if [[ $test == ctest:* ]]; then
        ctest --test-dir "$build" -R "^${test#ctest:}\$" >/dev/null 2>&1
    else
        # The group's own stderr too, which takes the shell's "Aborted" for a test the fault crashed.
        { (cd "$build" && QT_QPA_PLATFORM=offscreen timeout "$limit" "${programs[$test]}" --gtest_brief=1) \
              >/dev/null 2>&1; } 2>/dev/null
    fi
}

# Each test the chosen changes reach, once as the code stands: it must pass, or every fault would look
# caught (the end-to-end ones too); and a fault that makes a unit test run five times as long (ten
# seconds at least) has made it hang, which counts as caught.
declare -A limits=() needed=()
while read -r room; do
    for test in ${reach[$room]}; do needed[$test]=1; done
done < <(cut -f 1 "$work/chosen" | sed 's|/[^/]*$||' | sort -u)
for test in "${!needed[@]}"; do
    started=$(date +%s%N)
    run "$test" 600 || { echo "plant-faults.sh: $test fails as the code stands"; exit 1; }
    took=$((($(date +%s%N) - started) / 1000000000))
    limits[$test]=$((took * 5 > 10 ? took * 5 : 10))
done

echo "planting $(wc -l <"$work/chosen") of the $(wc -l <"$work/all") changes these files allow"

declare -A planted=() caught=() lived=() stillborn=()
report=$work/lived
: >"$report"
while IFS=$'\t' read -r file line column before after; do
    room=${file%/*}
    cp "$file" "$work/original"
    echo "$file" >"$work/file"
    awk -v line="$line" -v column="$column" -v before="$before" -v after="$after" '
        NR == line && substr($0, column, length(before)) == before {
            $0 = substr($0, 1, column - 1) after substr($0, column + length(before))
        }
        { print }' "$work/original" >"$file"
    if cmp -s "$file" "$work/original"; then
        restore
        continue
    fi
    planted[$room]=$((${planted[$room]:-0} + 1))
    # The file's own test first, as it is the likeliest to catch the fault, and each test built only
    # when it is to run: most faults die in the first, with one object compiled and one program linked.
    own=$(basename "${file%.*}")_test
    read -ra tests <<<"${reach[$room]}"
    ordered=()
    for test in "${tests[@]}"; do [[ $test == "$own" ]] && ordered+=("$test"); done
    for test in "${tests[@]}"; do [[ $test != "$own" ]] && ordered+=("$test"); done
    verdict=lived
    for test in "${ordered[@]}"; do
        # shellcheck disable=SC2046 # one target a word
        if ! cmake --build "$build" -j "$(nproc)" --target $(targets "$test") >"$work/build.log" 2>&1; then
            verdict=stillborn
            break
        fi
        if ! run "$test" "${limits[$test]}"; then
            verdict=caught
            break
        fi
    done
    case $verdict in
        caught) caught[$room]=$((${caught[$room]:-0} + 1)) ;;
        stillborn) stillborn[$room]=$((${stillborn[$room]:-0} + 1)) ;;
        lived)
            lived[$room]=$((${lived[$room]:-0} + 1))
            printf 'LIVED %s:%s: "%s" -> "%s"\n' "$file" "$line" "$before" "$after" | tee -a "$report"
            ;;
    esac
    restore
done <"$work/chosen"

echo
printf '%-12s %8s %8s %8s %14s\n' room planted caught lived "did not build"
for room in $(printf '%s\n' "${!planted[@]}" | sort); do
    printf '%-12s %8d %8d %8d %14d\n' "$room" "${planted[$room]}" "${caught[$room]:-0}" "${lived[$room]:-0}" \
        "${stillborn[$room]:-0}"
done
living=$(wc -l <"$report")
echo "faults that lived: $living"
[[ $living -eq 0 ]]

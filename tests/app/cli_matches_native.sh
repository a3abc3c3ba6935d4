#!/bin/bash
# vantor-report.exe under Wine writes report files byte for byte as the
# native vantor-report does, standard and detailed: for the end-to-end
# folders' scenarios and files
# (one named with characters that code page 932 cannot hold) and for the
# shared corpus's scenarios and campaigns (when it is there).
#
#   cli_matches_native.sh WINE CLI_EXE NATIVE_CLI MAKE_GUI_SCENARIOS WORK CORPUS
set -u
wine=$1 cli_exe=$2 native_cli=$3 make_scenarios=$4 work=$5 corpus=$6
export LANG=ja_JP.UTF-8 LC_ALL=  # Japanese file names: the Windows side needs code page 932

for tool in "$native_cli" "$make_scenarios"; do
    [ -x "$tool" ] || { echo "SKIP: no native build ($tool); .ci/wine-tests.sh makes one"; exit 77; }
done

rm -rf "$work" && mkdir -p "$work/native" "$work/wine" || exit 1
"$make_scenarios" "$work/made" || exit 1
inputs=("$work"/made/game/Scenario/*.[sS][cC][xX] "$work"/made/other/*.scx "$work"/made/given/*.*)
[ -d "$corpus" ] && inputs+=("$corpus"/*.sc[xn] "$corpus"/*.scx2 "$corpus"/*.aoe2scenario "$corpus"/*.cp[nx] "$corpus"/*.aoe2campaign)
for side in native wine; do
    for input in "${inputs[@]}"; do [ -f "$input" ] && { cp "$input" "$work/$side/" || exit 1; }; done
done

cd "$work/native" && names=(*) || exit 1
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
reports=0
# The standard report, then the detailed one (--detail), each compared whole.
for option in "" --detail; do
    cd "$work/native" || exit 1
    timeout 120 "$native_cli" $option "${names[@]}" >"$work/native.out" 2>"$work/native.err"
    native_rc=$?
    cd "$work/wine" || exit 1
    timeout 120 "$wine" "$cli_exe" $option "${names[@]}" >"$work/wine.out" 2>"$work/wine.err" </dev/null
    wine_rc=$?

    [ "$native_rc" = "$wine_rc" ] || fail "${option:-standard}: exit status: native $native_rc, Wine $wine_rc"
    compared=0
    for name in "${names[@]}"; do
        case $name in *.txt) continue ;; esac
        if [ -e "$work/native/$name.txt" ]; then
            compared=$((compared + 1))
            if cmp -s "$work/native/$name.txt" "$work/wine/$name.txt"; then
                echo "ok   ${option:+$option }$name.txt ($(stat -c %s "$work/native/$name.txt") bytes)"
            else
                fail "${option:+$option }$name.txt differs"
            fi
        elif [ -e "$work/wine/$name.txt" ]; then
            fail "${option:+$option }$name.txt written under Wine only"
        fi
    done
    reports=$((reports + compared))
    leftovers=$(find "$work/native" "$work/wine" -name '*.dat' | wc -l)
    [ "$leftovers" = 0 ] || fail "$leftovers temporary file(s) left"
    [ "$compared" -ge 4 ] || fail "only $compared report(s) compared"
    [ -e "$work/wine/汉字🙂.scx.txt" ] || fail "no report of a name that code page 932 cannot hold"
    # The messages: UTF-8 natively, the system's code page with CR LF under Wine.
    cmp -s "$work/native.err" <(iconv -f CP932 -t UTF-8 "$work/wine.err" | tr -d '\r') ||
        fail "${option:-standard}: the messages differ"
    rm -f "$work"/native/*.txt "$work"/wine/*.txt
done
echo "$reports report(s) compared, $failures failure(s)"
[ "$failures" = 0 ]

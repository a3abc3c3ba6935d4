#!/bin/bash
# vantor-report.exe under Wine in a shared folder: links that another user
# planted at the temporary file's and the report's names are never written
# through, and two runs at once on one scenario each end with the whole report.
#
#   shared_folder_wine.sh WINE CLI_EXE NATIVE_CLI MAKE_GUI_SCENARIOS WORK
set -u
wine=$1 cli_exe=$2 native_cli=$3 make_scenarios=$4 work=$5
export LANG=ja_JP.UTF-8 LC_ALL=

for tool in "$native_cli" "$make_scenarios"; do
    [ -x "$tool" ] || { echo "SKIP: no native build ($tool); .ci/wine-tests.sh makes one"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" || exit 1
"$make_scenarios" "$work/made" >/dev/null || exit 1
scenario=$(ls "$work"/made/other/*.scx | head -n 1)

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The report as the native build writes it.
mkdir "$work/native" && cp "$scenario" "$work/native/x.scx" || exit 1
(cd "$work/native" && "$native_cli" x.scx >/dev/null) || exit 1

for planted in x.scx.dat x.scx.txt; do
    dir=$work/$planted && mkdir "$dir" || exit 1
    cp "$scenario" "$dir/x.scx" && printf guarded >"$dir/guarded" && ln -s guarded "$dir/$planted" || exit 1
    (cd "$dir" && timeout 120 "$wine" "$cli_exe" x.scx >/dev/null 2>&1 </dev/null)
    rc=$?
    [ "$(cat "$dir/guarded")" = guarded ] || fail "a link at $planted was written through"
    # Under Wine a Unix link may look like a file that can be replaced: either
    # it stays and the run fails, or it was replaced and the report is whole.
    if [ $rc = 0 ]; then
        cmp -s "$dir/x.scx.txt" "$work/native/x.scx.txt" || fail "report beside a link at $planted differs"
    fi
    [ -z "$(find "$dir" -name 'x.scx.txt.*')" ] || fail "a partial report was left beside a link at $planted"
    echo "ok   link at $planted: exit $rc, its target unchanged"
done

dir=$work/twice && mkdir "$dir" && cp "$scenario" "$dir/x.scx" || exit 1
for round in 1 2 3 4 5; do
    (cd "$dir" && timeout 120 "$wine" "$cli_exe" x.scx >/dev/null 2>&1 </dev/null) &
    first=$!
    (cd "$dir" && timeout 120 "$wine" "$cli_exe" x.scx >/dev/null 2>&1 </dev/null)
    second=$?
    wait $first
    [ $? = 0 ] && [ $second = 0 ] || fail "round $round: a run failed"
    cmp -s "$dir/x.scx.txt" "$work/native/x.scx.txt" || fail "round $round: the report differs"
    [ "$(ls "$dir")" = "$(printf 'x.scx\nx.scx.txt')" ] || fail "round $round: left $(ls "$dir" | tr '\n' ' ')"
done
echo "two runs at once: 5 rounds"
echo "$failures failure(s)"
[ "$failures" = 0 ]

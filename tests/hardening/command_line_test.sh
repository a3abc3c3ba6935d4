#!/bin/bash
# vantor-report as a user runs it, in a folder that others share: its options,
# messages and exit status; the viewer; an output that cannot be written; a
# user without permissions; files another user planted beside a scenario; two
# runs at once; fatal signals.  Whatever happens, the files it does not own
# stay as they were, nothing of its own is left, and a run that ends with 0
# leaves the whole report.  With WINE, vantor-report.exe runs the checks that
# Windows shares: planted links and two runs at once.
#
#   command_line_test.sh WORK MAKE_GUI_SCENARIOS SAMPLE_REPORT CLI [WINE]
set -u
work=$1 make_scenarios=$2 golden=$3 cli=$4 wine=${5:-}
[ -x "$make_scenarios" ] || { echo "SKIP: no native build ($make_scenarios)"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" && "$make_scenarios" made >/dev/null || exit 1
sample=$work/made/game/Scenario/sample.scx  # its report is SAMPLE_REPORT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
verdict() { if [ $? = 0 ]; then echo "ok   $1"; else fail "$1"; fi; }  # on the last command's status
report() {
    if [ -n "$wine" ]; then timeout 120 "$wine" "$cli" "$@" </dev/null; else timeout 60 "$cli" "$@" </dev/null; fi
}
files() { [ "$(cd "$1" && ls -A | tr '\n' ' ')" = "$2" ]; }
fresh() { rm -rf "$1" && mkdir "$1" && cp "$sample" "$1/${2:-x.scx}"; }

# Links planted by another user at the temporary file's and the report's names
# are never written through.  Under Wine a Unix link may look like a file that
# can be replaced: then either it stays and the run fails, or the report is
# whole.
for planted in x.scx.dat x.scx.txt; do
    fresh "link-$planted" && printf guarded >"link-$planted/guarded" && ln -s guarded "link-$planted/$planted"
    (cd "link-$planted" && report x.scx >/dev/null 2>&1)
    rc=$?
    [ "$(cat "link-$planted/guarded")" = guarded ] && [ -z "$(find "link-$planted" -name 'x.scx.*.*')" ] &&
        { [ -n "$wine" ] || [ $rc = "$([ $planted = x.scx.dat ] && echo 1 || echo 0)" ]; } &&
        { [ $rc != 0 ] || cmp -s "link-$planted/x.scx.txt" "$golden"; }
    verdict "a link at $planted is not written through, nothing of ours is left (exit $rc)"
done

# Two runs at once each end with the whole report, and what a reader sees
# meanwhile is the old report or the new one.
fresh twice && cp made/cli/bulky.scx twice/x.scx && (cd twice && report x.scx >/dev/null) && mv twice/x.scx.txt bulky.txt
rounds=$([ -n "$wine" ] && echo 5 || echo 25)
for round in $(seq "$rounds"); do
    printf old >twice/x.scx.txt
    (cd twice && report x.scx >/dev/null 2>&1) &
    first=$!
    (cd twice && report $([ $((round % 2)) = 0 ] && echo --stdout) x.scx >/dev/null 2>&1) &
    second=$!
    for _ in $(seq 20); do
        [ "$(head -c 3 twice/x.scx.txt)" = old ] && [ "$(stat -c %s twice/x.scx.txt)" = 3 ] ||
            cmp -s twice/x.scx.txt bulky.txt || fail "round $round: a reader saw half a report"
    done
    wait $first && wait $second || fail "round $round: a run failed"
    cmp -s twice/x.scx.txt bulky.txt || fail "round $round: the report differs"
    files twice "x.scx x.scx.txt " || fail "round $round: left $(ls twice)"
done
echo "two runs at once: $rounds rounds"

if [ -n "$wine" ]; then
    # Whatever ends vantor-report.exe (Ctrl+C, which Wine passes on as SIGINT,
    # a termination, a kill) leaves nothing of ours: our files go with their
    # handles.
    mkdir ended && cp made/cli/lines.scx ended/ || exit 1
    for signal in INT TERM KILL; do
        (cd ended && exec "$wine" "$cli" lines.scx >/dev/null 2>&1) &
        for _ in $(seq 5000); do [ -n "$(find ended -name 'lines.scx.txt.*')" ] && break; sleep 0.002; done
        pkill -$signal -f "$(basename "$cli") lines.scx"
        wait
        # (A run that the signal reached only after the rename leaves its whole report.)
        for _ in $(seq 100); do rm -f ended/lines.scx.txt && files ended "lines.scx " && break; sleep 0.05; done
        files ended "lines.scx "
        verdict "SIG$signal to vantor-report.exe while it writes the report: nothing of ours is left"
    done
    echo "$failures failure(s)"
    exit $((failures > 0))
fi

# --- The native program alone ------------------------------------------------
export LC_ALL=C.UTF-8
mkdir opts && cp "$sample" opts/a.scx && printf '\1\2\3' >opts/b.scx && mkfifo opts/pipe.scx || exit 1
cat "$golden" "$golden" >twice.txt && iconv -f CP932 -t UTF-8 "$golden" | sed 's/\r$//' >utf8.txt || exit 1
detailed=$(dirname "$golden")/sample_detailed_report.txt  # the standard report with its additions
cat "$detailed" "$detailed" >twice-detailed.txt && iconv -f CP932 -t UTF-8 "$detailed" | sed 's/\r$//' >utf8-detailed.txt ||
    exit 1
usage=$'\nTry \'vantor-report --help\'.\n'
broken=$'b.scx: 解凍エラーです\n' open=$'ファイルをオープンできませんでした\n'
# expect WHAT STATUS OUT-FILE-OR-TEXT ERR ARGUMENTS...: a run in opts/ that leaves nothing there.
expect() {
    local what=$1 status=$2 out=$3 err=$4 rc
    shift 4
    (cd opts && report "$@" >../out 2>../err)
    rc=$?
    [ -f "$out" ] || printf %s "$out" >expected
    [ $rc = "$status" ] && cmp -s out "$([ -f "$out" ] && echo "$out" || echo expected)" &&
        cmp -s err <(printf %s "$err") && rm -f opts/a.scx.txt && files opts "a.scx b.scx pipe.scx "
    verdict "$what (exit $rc)"
    rm -f opts/a.scx.txt
}
expect "usage: no scenario" 2 "" "vantor-report: no scenario file given$usage"
expect "usage: an unknown option" 2 "" "vantor-report: unknown option: --frobnicate$usage" --frobnicate a.scx
expect "usage: --open with --stdout" 2 "" "vantor-report: --open cannot open a report written to stdout$usage" \
    --stdout --open a.scx
expect "each scenario ends in its own way" 1 $'a.scx.txt\n' "${broken}missing.scx: $open" b.scx missing.scx -- a.scx
expect "a named pipe is not waited for" 1 "" "pipe.scx: $open" pipe.scx
expect "--stdout" 1 "$work/twice.txt" "$broken" --stdout a.scx b.scx a.scx
expect "--stdout --utf8" 0 "$work/utf8.txt" "" --stdout --utf8 a.scx
expect "--detail --stdout, several files" 1 "$work/twice-detailed.txt" "$broken" --stdout --detail a.scx b.scx a.scx
expect "--detail --stdout --utf8" 0 "$work/utf8-detailed.txt" "" --detail --stdout --utf8 a.scx
(cd opts && report --detail a.scx b.scx >/dev/null 2>&1; [ $? = 1 ]) && cmp -s opts/a.scx.txt "$detailed" &&
    rm opts/a.scx.txt && files opts "a.scx b.scx pipe.scx "
verdict "--detail writes the detailed report beside the scenario"
expect "control characters of names are shown escaped, C1 too" 1 "" 'a\x1b[2J\x0a\x9b\xc2\x9bb.scx: '"$open" \
    $'a\x1b[2J\n\x9b\xc2\x9bb.scx'
long=$(printf 'a%.0s' $(seq 244)).scx  # 248 bytes: its report's name fits, a suffix behind that would not
cp "$sample" "opts/$long" && (cd opts && report "$long" >/dev/null) && cmp -s "opts/$long.txt" "$golden" &&
    rm "opts/$long" "opts/$long.txt" && files opts "a.scx b.scx pipe.scx "
verdict "a scenario whose report's name is as long as a name may be"
LC_ALL=C expect "UTF-8 messages where the locale shows no Japanese" 1 "" "$broken" b.scx
(cd opts && report --utf8 a.scx >/dev/null) && cmp -s opts/a.scx.txt utf8.txt
verdict "--utf8 writes the report file in UTF-8"
rm -f opts/a.scx.txt
[[ "$(report --version)" =~ ^vantor-report\ [0-9.]+$ ]] &&
    [ "$(report --help | head -n1)" = "Usage: vantor-report [OPTION]... SCENARIO..." ]
verdict "--version and --help"

# A campaign: its report is written, and each scenario inside that could not
# be reported is named on standard error; the run ends with 1.
mkdir campaign && cp made/cli/campaign.cpx campaign/c.cpx || exit 1
(cd campaign && report c.cpx >../out 2>../err)
[ $? = 1 ] && [ "$(cat out)" = c.cpx.txt ] && [ "$(cat err)" = "c.cpx: broken.scx: 解凍エラーです" ] &&
    files campaign "c.cpx c.cpx.txt " && [ "$(iconv -f CP932 -t UTF-8 campaign/c.cpx.txt | head -n1)" = $'全シナリオ数：2\r' ]
verdict "a campaign with a broken scenario: its report, the scenario named on stderr (exit 1)"

# Another process on the scenario holds a run a few seconds at most: a reader
# with a shared lock (any user who may read the scenario can take one), and a
# run of ours that waits for its viewer (the lock is given back before the
# viewer starts).
fresh held && chmod 644 held/x.scx && { flock -s held/x.scx sleep 60 & } && sleep 0.3
holder=$!
start=$(date +%s)
(cd held && report x.scx >/dev/null 2>&1)
rc=$? took=$(($(date +%s) - start))
kill $holder && wait $holder 2>/dev/null
[ $rc = 0 ] && [ $took -lt 30 ] && cmp -s held/x.scx.txt "$golden" && files held "x.scx x.scx.txt "
verdict "a reader's lock on the scenario holds a run for a few seconds, not for ever ($took s)"
mkdir slowbin && printf '#!/bin/sh
touch "$(dirname "$0")/opened"
exec sleep 60
' >slowbin/xdg-open &&
    chmod +x slowbin/xdg-open && fresh viewing || exit 1
(cd viewing && PATH=$work/slowbin:$PATH exec "$cli" --open x.scx >/dev/null 2>&1) &
viewer=$!
for _ in $(seq 500); do [ -e slowbin/opened ] && break; sleep 0.02; done
flock -n -x viewing/x.scx true
verdict "the scenario's lock is free while the viewer runs"
pkill -f "sleep 60"; wait $viewer

# A scenario saved anew (by rename) while its report is made: the run that
# read the older file leaves the report to a run of the newer one.
fresh replaced && cp made/cli/lines.scx replaced/x.scx || exit 1
(cd replaced && exec "$cli" x.scx >/dev/null 2>../err) &
pid=$!
for _ in $(seq 5000); do [ -n "$(find replaced -name 'x.scx.txt.*')" ] && break; sleep 0.002; done
cp "$sample" replaced/new.scx && mv replaced/new.scx replaced/x.scx
wait $pid
[ $? = 1 ] && [ "$(cat err)" = "x.scx: 処理中にシナリオが置き換えられたため、レポートを出力しませんでした。" ] &&
    files replaced "x.scx " && (cd replaced && report x.scx >/dev/null) && cmp -s replaced/x.scx.txt "$golden"
verdict "a scenario saved anew meanwhile: the older run writes no report (exit 1), the newer one does"

# The viewer is given the report as a file, and its failure is reported.
mkdir bin && printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"$(dirname "$0")/args"\nexit $VIEWER_STATUS\n' >bin/xdg-open &&
    chmod +x bin/xdg-open && fresh viewer -x.scx || exit 1
for status_path in 0:0:"$work/bin" 1:3:"$work/bin" 1:0:/nowhere; do
    IFS=: read -r expected status path <<<"$status_path"
    (cd viewer && PATH=$path:/usr/bin:/bin VIEWER_STATUS=$status report --open -- -x.scx >../out 2>../err)
    [ $? = "$expected" ] && [ "$(cat out)" = -x.scx.txt ] &&
        [ "$(cat err)" = "$([ "$expected" = 1 ] && echo "-x.scx: ビューアを起動できませんでした。")" ]
    verdict "the viewer $path, ending with $status"
done
[ "$(cat bin/args)" = $'./-x.scx.txt\n./-x.scx.txt' ]
verdict "the viewer is given ./-x.scx.txt"

# An output that cannot be written fails the run; nothing meant for it goes
# into a file of ours: a full disk, a reader that went away (| head -n0), an
# output closed at the start (>&-).
mkfifo gone && exec 4<>gone 5>gone 4<&- || exit 1
for output in full-stdout full gone closed; do
    fresh "out-$output" a.scx && cp "$sample" "out-$output/b.scx"
    cd "out-$output"
    case $output in
    full-stdout) report --stdout a.scx b.scx >/dev/full 2>/dev/null ;;
    full) report a.scx b.scx >/dev/full 2>/dev/null ;;
    gone) report a.scx b.scx >&5 2>/dev/null ;;
    closed) report a.scx b.scx >&- 2>/dev/null ;;
    esac
    rc=$?
    cd "$work"
    [ $rc = 1 ] && if [ $output = full-stdout ]; then files out-$output "a.scx b.scx "; else
        files out-$output "a.scx a.scx.txt b.scx b.scx.txt " && cmp -s out-$output/b.scx.txt "$golden"; fi
    verdict "$output output: the run fails, only whole reports are left"
done
# A closed output is named as such, the report's path or the report itself.
for stdout in "" --stdout; do
    fresh out-closed a.scx
    (cd out-closed && report $stdout a.scx >&5 2>../err)
    [ $? = 1 ] && [ "$(cat err)" = "a.scx: 標準出力が閉じられたため、書き込めませんでした。" ]
    verdict "an output whose reader went away ($stdout): its message"
done
exec 5>&-

# A write that fails (here a file-size limit) leaves the old report as it was,
# and nothing of ours: while the report is written, and while the body is.
fresh limits && cp made/cli/bulky.scx limits/x.scx && printf old >limits/x.scx.txt
for blocks in $(($(stat -c %s bulky.txt) / 2048)) 8; do
    (cd limits && ulimit -f $blocks && report x.scx >/dev/null 2>../err)
    [ $? = 1 ] && [ "$(cat err)" = "x.scx: ファイルの作成に失敗しました" ] && files limits "x.scx x.scx.txt " &&
        [ "$(cat limits/x.scx.txt)" = old ]
    verdict "a write limit of $blocks KiB"
done

# A report is no more readable than its scenario, and each run's report is a
# new file renamed over the old one, never the old one rewritten.  (Its group,
# which needs a second user: below.)
fresh modes
for mode in 600 640 644 755:644; do
    old=$(stat -c %i modes/x.scx.txt 2>/dev/null)
    chmod ${mode%:*} modes/x.scx && (cd modes && report x.scx >/dev/null) &&
        [ "$(stat -c %a modes/x.scx.txt)" = ${mode#*:} ] && [ "$(stat -c %i modes/x.scx.txt)" != "$old" ]
    verdict "a report of a scenario of mode $mode, a new file"
done

# A body of version 1.22 and 600 MiB of zeros: its inflating takes a while,
# until it passes 256 MiB, more than any scenario holds.
{ printf '1.21\0\0\0\0' && { printf '\1\0\0\0\366\50\234\77' && head -c 600M /dev/zero; } | gzip -1 | tail -c +11; } >long.scx ||
    exit 1
fresh bomb && cp long.scx bomb/x.scx && (cd bomb && report x.scx >/dev/null 2>../err)
[ $? = 1 ] && [ "$(cat err)" = "x.scx: 解凍エラーです" ] && files bomb "x.scx "
verdict "a body that inflates past 256 MiB is refused, nothing is left"

# As a user without privileges: an unreadable scenario, a folder without
# write permission (the old report stays; printing needs no file), a temporary
# file that cannot be removed; another user's file at the temporary name.
if [ "$(id -u)" = 0 ]; then
    # Where "nobody" can reach it: the program and the folders.
    shared=$(mktemp -d) && chmod 755 "$shared" && trap 'rm -rf "$shared"' EXIT && cp "$cli" "$shared/" || exit 1
    nobody() { (cd "$shared/perm" && setpriv --reuid=65534 --regid=65534 --clear-groups "$shared/$(basename "$cli")" "$@"); }
    fresh "$shared/perm" && chmod 0 "$shared/perm/x.scx" && chown -R 65534 "$shared/perm"
    nobody x.scx >/dev/null 2>err
    [ $? = 1 ] && [ "$(cat err)" = "x.scx: ${open%$'\n'}" ] && files "$shared/perm" "x.scx "
    verdict "an unreadable scenario"
    fresh "$shared/perm" && printf old >"$shared/perm/x.scx.txt" && chown -R 65534 "$shared/perm" && chmod 555 "$shared/perm"
    nobody x.scx >/dev/null 2>err
    [ $? = 1 ] && [ "$(cat err)" = "x.scx: ファイルの作成に失敗しました" ] && files "$shared/perm" "x.scx x.scx.txt " &&
        [ "$(cat "$shared/perm/x.scx.txt")" = old ] && nobody --stdout x.scx >/dev/null
    verdict "a folder without write permission (printing needs no file beside the scenario)"
    # The folder forbids it from the moment the temporary file exists.
    chmod 755 "$shared/perm" && rm -rf "$shared/perm" && mkdir "$shared/perm" && cp long.scx "$shared/perm/x.scx" &&
        chown -R 65534 "$shared/perm" || exit 1
    nobody x.scx >/dev/null 2>err &
    pid=$!
    for _ in $(seq 5000); do [ -e "$shared/perm/x.scx.dat" ] && break; sleep 0.002; done
    chmod 555 "$shared/perm"
    wait $pid
    [ $? = 1 ] && files "$shared/perm" "x.scx x.scx.dat " &&
        [ "$(cat err)" = $'x.scx: 解凍エラーです\nx.scx: 一時ファイルを削除できませんでした。' ]
    verdict "a temporary file that cannot be removed is reported"
    fresh foreign && printf d >foreign/x.scx.dat && chown 65534 foreign/x.scx.dat
    (cd foreign && report x.scx >/dev/null 2>&1)
    [ $? = 1 ] && [ "$(cat foreign/x.scx.dat)" = d ] && files foreign "x.scx x.scx.dat "
    verdict "another user's file at the temporary name stays"
    # A piece of this very body, left by a run of ours that was killed, is
    # removed; the same piece of another user's stays.
    rm -rf foreign && mkdir foreign && cp long.scx foreign/x.scx || exit 1
    (cd foreign && exec "$cli" x.scx >/dev/null 2>&1) &
    pid=$!
    for _ in $(seq 5000); do [ -s foreign/x.scx.dat ] && break; sleep 0.002; done
    kill -KILL $pid && wait $pid 2>/dev/null
    cp -p foreign/x.scx.dat piece && chown 65534 foreign/x.scx.dat
    (cd foreign && report x.scx >/dev/null 2>&1)
    [ $? = 1 ] && cmp -s foreign/x.scx.dat piece && files foreign "x.scx x.scx.dat "
    verdict "another user's piece of this body at the temporary name stays"
    chown 0 foreign/x.scx.dat && (cd foreign && report x.scx >/dev/null 2>../err)
    [ $? = 1 ] && [ "$(cat err)" = "x.scx: 解凍エラーです" ] && files foreign "x.scx "
    verdict "a piece of this body that a killed run left is removed"
    # The report takes the scenario's group where the user may give it (a
    # member of it), else no group permissions; on every run.
    group() {  # MODE GROUPS-OF-THE-USER EXPECTED-MODE EXPECTED-GROUP
        fresh "$shared/grp" && chown -R 65534 "$shared/grp" && chgrp 60 "$shared/grp/x.scx" &&
            chmod "$1" "$shared/grp/x.scx" || return 1
        for run in 1 2; do
            (cd "$shared/grp" && setpriv --reuid=65534 --regid=65534 $2 "$shared/$(basename "$cli")" x.scx) >/dev/null &&
                [ "$(stat -c %a:%g "$shared/grp/x.scx.txt")" = "$3:$4" ] || return 1
        done
    }
    group 640 --groups=60 640 60
    verdict "a member's report of a scenario of mode 640 and group 60 is 640 and of group 60"
    group 644 --clear-groups 604 65534
    verdict "an outsider's report of a scenario of mode 644 and group 60 has no group permissions"
fi

# Fatal signals leave no file of ours: sent while the body is being inflated
# (the temporary file exists) and while the report is being written (the
# partial report exists).
set -m  # its own process group: a background job's SIGINT and SIGQUIT are not ignored
mkdir signals && cp made/cli/lines.scx long.scx signals/ || exit 1
for signal in INT TERM HUP QUIT USR1 USR2 ALRM XCPU VTALRM PROF; do
    for case in long.scx:long.scx.dat lines.scx:lines.scx.txt.; do
        IFS=: read -r scenario ours <<<"$case"
        (cd signals && exec "$cli" "$scenario" >/dev/null 2>&1) &
        pid=$!
        for _ in $(seq 5000); do [ -n "$(find signals -name "$ours*")" ] && break; sleep 0.002; done
        kill -$signal $pid
        wait $pid
        [ $? = $((128 + $(kill -l $signal))) ] && files signals "lines.scx long.scx "
        verdict "SIG$signal while $ours* exists: the run ends by it, nothing of ours is left"
    done
done

# A file that another process renames over a file of ours stays, whatever
# ends the run; what a run killed outright leaves (SIGKILL cannot be caught)
# the next run on the scenario removes.
for case in long.scx:long.scx.dat lines.scx:lines.scx.txt.; do
    IFS=: read -r scenario ours <<<"$case"
    for ending in exit TERM KILL; do
        (cd signals && exec "$cli" "$scenario" >/dev/null 2>&1) &
        pid=$!
        for _ in $(seq 5000); do name=$(find signals -name "$ours*" | head -n1) && [ -n "$name" ] && break; sleep 0.002; done
        [ $ending = KILL ] || { printf foreign >signals/foreign && mv signals/foreign "$name"; }
        [ $ending = exit ] || kill -$ending $pid
        wait $pid
        if [ $ending = KILL ]; then
            (cd signals && report "$scenario" >/dev/null 2>&1)
            rm -f signals/lines.scx.txt && files signals "lines.scx long.scx "
            verdict "$ours* left by SIGKILL: the next run removes it"
        else
            [ "$(cat "$name")" = foreign ] && rm "$name" && files signals "lines.scx long.scx "
            verdict "a file renamed over $ours* stays after the run's $ending"
        fi
    done
done

# Each call of the system on the files beside the scenario failing in turn
# (fault_shim): the run ends with 0 and the whole report, or with 1, a message
# and the older report (or the new one, and a message of what it could not
# remove); the scenario as it was; nothing else left but what it names.
if [ -n "${VANTOR_FAULT_SHIM:-}" ]; then
    faults=0
    for call in open fstat lstat stat flock fchown fchmod write pread close rename renameat2 unlink opendir; do
        for n in $(seq 100); do
            fresh fault && printf old >fault/x.scx.txt && rm -f done
            (cd fault && VANTOR_FAULT="$call $n" VANTOR_FAULT_DONE=$work/done LD_PRELOAD=$VANTOR_FAULT_SHIM \
                ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 report x.scx >/dev/null 2>../err)
            rc=$?
            [ -e done ] || break
            faults=$((faults + 1))
            cmp -s fault/x.scx "$sample" && if [ $rc = 0 ]; then
                cmp -s fault/x.scx.txt "$golden" && files fault "x.scx x.scx.txt " && [ ! -s err ]
            else
                [ $rc = 1 ] && grep -q '^x.scx: ' err && { [ "$(cat fault/x.scx.txt)" = old ] ||
                    cmp -s fault/x.scx.txt "$golden"; } && { files fault "x.scx x.scx.txt " || grep -q 一時ファイル err; }
            fi || fail "$call call $n failing: exit $rc, $(cat err), left $(ls fault)"
        done
    done
    echo "one failing call of the system: $faults runs"
fi

echo "$failures failure(s)"
[ $failures = 0 ]

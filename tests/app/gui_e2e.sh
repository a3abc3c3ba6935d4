#!/bin/bash
# The real dialog in a Wine window, driven by gui_driver.exe: the registry
# folder, the list, reports, the message boxes, Enter, Esc, the about box, the
# folder picker and the close box.  Then the files: each report as the native
# command line writes it and opened with the shell's "open", none for refused
# scenarios, no temporary file.  Then files given to the program: dropped on
# the dialog from another X client (xdnd_drop.py, as a file manager drops
# them), and as its arguments.  Last, where the dialog starts without The
# Conquerors (the Definitive Edition's profile, reported with the keyboard;
# the HD Edition's folder; nothing), folders that code page 932 cannot hold
# or whose name ends in a 0x5C trail byte, and the kinds, folder and 詳細 box
# kept for the next start, which a drop and the program's arguments follow.
#
#   gui_e2e.sh WINE VANTOR_EXE GUI_DRIVER_EXE MAKE_GUI_SCENARIOS NATIVE_CLI WORK
set -u
wine=$1 app=$2 driver=$3 make_scenarios=$4 native_cli=$5 work=$6
export LANG=ja_JP.UTF-8 LC_ALL=
. "$(dirname "$0")/gui_common.sh"
for tool in "$native_cli" "$make_scenarios"; do
    [ -x "$tool" ] || { echo "SKIP: no native build ($tool); .ci/wine-tests.sh makes one"; exit 77; }
done

rm -rf "$work" && mkdir -p "$work" || exit 1
log=$work/wine.log
"$make_scenarios" "$work" || exit 1
scenarios=$work/game/Scenario
reported=(sample.scx UPPER.SCX 日本語のシナリオ.scx)

# The reports to expect, from the native command line.
mkdir "$work/expected" && (cd "$scenarios" && cp "${reported[@]}" "$work/expected/") || exit 1
(cd "$work/expected" && "$native_cli" "${reported[@]}" >/dev/null) || exit 1

# The game folder in the 32-bit view, where the game's installer writes it;
# a decoy in the 64-bit view.
reg add "$game_key" /v 'EXE Path' /d "$(winpath "$work/game")" /f /reg:32 || exit 1
reg add "$game_key" /v 'EXE Path' /d "$(winpath "$work/decoy")" /f /reg:64 || exit 1
# The viewer for .txt writes the path it is given (in cp932) into a file
# beside it, REPORT.opened: nothing outside starts.
reg add 'HKCR\.txt' /ve /d vantor.test.txtfile /f || exit 1
reg add 'HKCR\vantor.test.txtfile\shell\open\command' /ve /d 'C:\windows\system32\cmd.exe /c echo %1>%1.opened' /f ||
    exit 1

# The second folder lies on drive C: of the Wine prefix, where the folder
# picker's tree is small (it opens every folder on the way to the selection).
other=${WINEPREFIX:-$HOME/.wine}/drive_c/vantor-e2e/other
rm -rf "$(dirname "$other")" && mkdir -p "$other" && cp "$work/other/other.scx" "$other/" || exit 1
# Two Definitive Edition profiles (the later one changed last) and a folder
# that is none; no settings kept yet.
users=$(user_folder USERPROFILE) && appdata=$(user_folder APPDATA) && [ -d "$users" ] && [ -d "$appdata" ] || exit 1
settings=$appdata/Vantor
profiles="$users/Games/Age of Empires 2 DE" de_id=76561198000000002
de_folder='C:\users\'$(basename "$users")'\Games\Age of Empires 2 DE\'$de_id'\resources\_common\scenario\'
rm -rf "$settings" "$profiles"
for id in 76561198000000001 $de_id mods; do
    mkdir -p "$profiles/$id/resources/_common/scenario" && cp "$work/given/de.aoe2scenario" "$_/" || exit 1
done
touch -d '2020-01-01' "$profiles/76561198000000001/resources/_common/scenario"
touch -d '2021-01-01' "$profiles/$de_id/resources/_common/scenario"

status=0
fail() { echo "FAIL $*"; status=1; }
start_app "$app"
timeout 180 "$wine" "$driver" e2e "$(winpath "$work/game")" 'C:\vantor-e2e\other' </dev/null
driver_rc=$?
if [ $driver_rc = 0 ]; then end_app; else end_app kill; fi
app_rc=$?
[ $driver_rc = 0 ] || status=1
[ $app_rc = 0 ] || fail "vantor.exe ended with status $app_rc"

# The viewer runs on its own: it is given a few seconds.
opened() { iconv -f CP932 -t UTF-8 "$1.opened" 2>/dev/null | tr -d '\r"' | grep -qixF "$(winpath "$1")"; }
for name in "${reported[@]}"; do
    cmp -s "$scenarios/$name.txt" "$work/expected/$name.txt" && echo "ok   report of $name" ||
        fail "report of $name differs from the native command line's"
    for _ in $(seq 50); do opened "$scenarios/$name.txt" && break; sleep 0.2; done
    opened "$scenarios/$name.txt" && echo "ok   $name.txt opened" || fail "$name.txt was not opened"
done
for name in with_image.scx broken.scx; do
    [ ! -e "$scenarios/$name.txt" ] || fail "a report of the refused $name"
done
leftovers=$(find "$work" -name '*.dat')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

# Files dropped on the dialog: a Definitive Edition scenario, an Age of Kings
# scenario, a campaign with a broken scenario, a broken file, a folder.  Then
# vantor.exe given files as arguments, one of a name that code page 932 cannot
# hold: they are reported without the dialog.
given=$work/given
non_cp932=汉字🙂.scx
mkdir "$work/expected-given" && cp "$given"/*.* "$work/expected-given/" &&
    (cd "$work/expected-given" && "$native_cli" de.aoe2scenario aok.scn camp.cpx "$non_cp932" >/dev/null 2>&1)
given_report() {  # NAME: the report as the native command line writes it, opened
    cmp -s "$given/$1.txt" "$work/expected-given/$1.txt" && echo "ok   report of $1" ||
        fail "report of $1 differs from the native command line's"
    for _ in $(seq 50); do [ -e "$given/$1.txt.opened" ] && break; sleep 0.2; done
    [ -e "$given/$1.txt.opened" ] && echo "ok   $1.txt opened" || fail "$1.txt was not opened"
    rm -f "$given/$1.txt" "$given/$1.txt.opened"
}
if /usr/bin/python3 -c 'import Xlib' 2>/dev/null; then
    start_app "$app"
    timeout 60 /usr/bin/python3 "$(dirname "$0")/xdnd_drop.py" Vantor "$given/de.aoe2scenario" "$given/aok.scn" \
        "$given/camp.cpx" "$given/broken.scx" "$given/folder" || fail "the dialog did not take the drop"
    timeout 120 "$wine" "$driver" drop "$(winpath "$given/folder")" close </dev/null
    driver_rc=$?
    if [ $driver_rc = 0 ]; then end_app; else end_app kill; fi
    [ $driver_rc = 0 ] || fail "the drop on the dialog"
    for name in de.aoe2scenario aok.scn camp.cpx; do given_report "$name"; done
else
    fail "python3-xlib is missing: no drop"
fi
timeout 120 "$wine" "$app" "$(winpath "$given/de.aoe2scenario")" "$(winpath "$given/broken.scx")" \
    "$(winpath "$given/$non_cp932")" </dev/null >>"$log" 2>&1 &
app_pid=$!
timeout 60 "$wine" "$driver" arguments </dev/null || fail "vantor.exe given files"
wait $app_pid || fail "vantor.exe given files ended with status $?"
for name in de.aoe2scenario "$non_cp932"; do given_report "$name"; done
[ -z "$(find "$given" -name '*.txt' -o -name '*.dat')" ] || fail "left in the folder: $(ls "$given")"

# The dialog's report of a scenario is the native command line's (standard,
# or with --detail).
same_report() {  # SCENARIO [--detail]
    "$native_cli" --stdout "${@:2}" "$1" | cmp -s - "$1.txt" && echo "ok   report of $(basename "$1") ${2:-}" ||
        fail "report of $1 ${2:-} differs from the native command line's"
}
driver() {  # STEPS: a run of vantor.exe, driven
    start_app "$app"
    timeout 180 "$wine" "$driver" "$@" </dev/null
    driver_rc=$?
    if [ $driver_rc = 0 ]; then end_app; else end_app kill; fi
    [ $driver_rc = 0 ] || fail "the dialog: $*"
}

# No usable value in the 32-bit view (missing, then not a string), and no
# other edition's: the Definitive Edition's profile changed last, listed with
# *.aoe2scenario and reported with the keyboard.  Never the 64-bit view.
reg delete "$game_key" /v 'EXE Path' /f /reg:32
driver start "$de_folder" 1 0 'de.aoe2scenario|' keyboard de.aoe2scenario close
same_report "$profiles/$de_id/resources/_common/scenario/de.aoe2scenario"
reg add "$game_key" /v 'EXE Path' /t REG_DWORD /d 1 /f /reg:32
driver start "$de_folder" 1 0 'de.aoe2scenario|' close
# Then the HD Edition's folder where Steam installed it, with every kind.
rm -rf "$profiles"
hd_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Steam App 221380'
mkdir -p "$work/Age2HD/resources/_common/scenario" && cp "$scenarios/sample.scx" "$work/given/de.aoe2scenario" "$_/"
reg add "$hd_key" /v InstallLocation /d "$(winpath "$work/Age2HD")" /f /reg:32
driver start "$(winpath "$work/Age2HD")\\resources\\_common\\scenario\\" 5 0 'de.aoe2scenario|sample.scx|' close
reg delete "$hd_key" /f /reg:32
reg delete "$game_key" /f /reg:32
reg delete "$game_key" /f /reg:64
# Nothing there (the folder kept is gone): an empty field, an empty list.
rm -rf "$work/Age2HD"
driver start '' 5 0 '' close

# A folder whose name ends in 表 (its cp932 trail byte is 0x5C) typed with and
# without the last "\" and picked; a folder and a file in Hangul.  The
# kinds, the folder and the 詳細 box left then come back at the next start.
e2e=$(dirname "$other") table=$(dirname "$other")/対戦表 hangul=$(dirname "$other")/한국어
mkdir -p "$table" "$hangul" && cp "$scenarios/sample.scx" "$table/表.scx" &&
    cp "$scenarios/日本語のシナリオ.scx" "$hangul/시나리오.scx" || exit 1
driver list 'C:\vantor-e2e\対戦表' 表.scx list 'C:\vantor-e2e\対戦表\' 表.scx pick 'C:\vantor-e2e\対戦表\' 表.scx \
    pick 'C:\vantor-e2e\한국어' 시나리오.scx list 'C:\vantor-e2e\한국어\' 시나리오.scx choose 4 1 close
same_report "$table/表.scx"
same_report "$hangul/시나리오.scx"
grep -qx $'kinds=campaigns\r' "$settings/settings.ini" && grep -qx $'detail=1\r' "$settings/settings.ini" &&
    echo "ok   the settings kept in %APPDATA%\\Vantor\\settings.ini" || fail "settings.ini: $(cat "$settings/settings.ini")"
# The restart; a file dropped with the 詳細 box checked, then one given as the
# program's argument: detailed reports.
cp "$scenarios/sample.scx" "$hangul/dropped.scx" && cp "$scenarios/sample.scx" "$hangul/given.scx" &&
    cp "$given/camp.cpx" "$hangul/캠페인.cpx" || exit 1
start_app "$app"
timeout 60 "$wine" "$driver" start 'C:\vantor-e2e\한국어\' 4 1 '캠페인.cpx|' </dev/null || fail "the settings kept"
timeout 60 /usr/bin/python3 "$(dirname "$0")/xdnd_drop.py" Vantor "$hangul/dropped.scx" || fail "the drop, 詳細"
for _ in $(seq 50); do [ -e "$hangul/dropped.scx.txt.opened" ] && break; sleep 0.2; done
if timeout 60 "$wine" "$driver" close </dev/null; then end_app; else end_app kill; fail "closing"; fi
same_report "$hangul/dropped.scx" --detail
timeout 120 "$wine" "$app" "$(winpath "$hangul/given.scx")" </dev/null >>"$log" 2>&1 || fail "vantor.exe given.scx"
same_report "$hangul/given.scx" --detail
rm -rf "$settings" "$e2e"

[ $status = 0 ] && echo "gui_e2e passed" || { echo "--- Wine's output:"; tail -n 40 "$log"; }
exit $status

#!/bin/bash
# Screenshots of the dialog, its kinds choice open, the about box, a message
# box and the message box of a dropped file, in the caller's locale, into
# OUTDIR/<language>/ (dialog.png, choice.png, about.png, message.png, drop.png).  The driver checks at each step that the texts from the
# resources and the message read in Japanese, on every locale.
#
#   gui_screenshots.sh WINE VANTOR_EXE GUI_DRIVER_EXE MAKE_GUI_SCENARIOS WORK OUTDIR
set -u
wine=$1 app=$2 driver=$3 make_scenarios=$4 work=$5 outdir=$6
. "$(dirname "$0")/gui_common.sh"
[ -x "$make_scenarios" ] || { echo "SKIP: no native build ($make_scenarios)"; exit 77; }
command -v import >/dev/null || { echo "SKIP: ImageMagick's import is missing"; exit 77; }

language=${LANG%%.*}
language=${language:-C}
shots=$outdir/$language
rm -rf "$work" "$shots" && mkdir -p "$work" "$shots" || exit 1
log=$work/wine.log
"$make_scenarios" "$work" || exit 1
reg add "$game_key" /v 'EXE Path' /d "$(winpath "$work/game")" /f /reg:32 || exit 1
appdata=$(user_folder APPDATA) && [ -d "$appdata" ] || exit 1
settings=$appdata/Vantor
rm -rf "$settings"  # the dialog as it first starts

status=0
step() { timeout 60 "$wine" "$driver" "$@" </dev/null || status=1; }
shoot() {
    sleep 0.5  # let the window paint
    timeout 30 import -window root "$shots/$1.png" || status=1
    # A picture, not a black screen.
    local mean
    mean=$(convert "$shots/$1.png" -format '%[fx:mean]' info: 2>/dev/null)
    awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.02) }' || { echo "FAIL $1.png is blank"; status=1; }
}

start_app "$app"
step show-dialog && shoot dialog
step show-choice && shoot choice
step hide-choice
step show-about && shoot about
step hide
step show-message with_image.scx && shoot message
step hide
# Two files dropped on the dialog from another X client: the box names the
# broken one.
/usr/bin/python3 "$(dirname "$0")/xdnd_drop.py" Vantor "$work/given/broken.scx" "$work/given/de.aoe2scenario" >/dev/null &&
    step show-drop && shoot drop || status=1
step hide
step close
if [ $status = 0 ]; then end_app; else end_app kill; fi
reg delete "$game_key" /f /reg:32
rm -rf "$settings"

echo "screenshots in $shots:" $(cd "$shots" && ls)
exit $status

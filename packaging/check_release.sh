#!/usr/bin/env bash
# Checks the Windows release as a user gets it: the zip unpacked into an empty
# folder, its checksums, vantor-report.exe reporting the bundled sample under
# Wine with nothing beside it, and vantor.exe opening its dialog window (on
# Xvfb; a screenshot is kept).
#
#   packaging/check_release.sh [ZIP] [RESULT_DIR]
#
# Without ZIP it first runs tools/make_release.sh.  RESULT_DIR (default
# build/release-win/check) receives the screenshot and the sample's report.  On
# Debian 12, as root, it installs what it needs when something is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages="wine64 fonts-ipafont-gothic locales xvfb xauth x11-utils imagemagick zip unzip"
if command -v dpkg >/dev/null && ! dpkg -s $packages >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $packages
fi
if ! locale -a | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  locale-gen
fi

results=$(mkdir -p "${2:-build/release-win/check}" && cd "${2:-build/release-win/check}" && pwd)
work=$(mktemp -d /tmp/vantor-release-check.XXXXXX)
export PATH=/usr/lib/wine:$PATH WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=ja_JP.UTF-8
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "check_release: $*" >&2; exit 1; }

if [ $# -ge 1 ]; then
  zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
else
  tools/make_release.sh "$work/out"
  zip=$(ls "$work"/out/vantor-*-win64.zip)
fi
echo "== $zip ($(stat -c %s "$zip") bytes)"

# Unpacked into an empty folder: exactly these files, each matching its sum.
mkdir "$work/vantor"
(cd "$work/vantor" && LC_ALL=C.UTF-8 unzip -q "$zip")
listing=$(cd "$work/vantor" && LC_ALL=C.UTF-8 ls -A | LC_ALL=C sort | tr '\n' ' ')
expected=$(printf '%s\n' LICENSE.txt SHA256SUMS.txt vantor-report.exe vantor.exe お読みください.txt | LC_ALL=C sort | tr '\n' ' ')
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"
(cd "$work/vantor" && LC_ALL=C.UTF-8 sha256sum --check --strict SHA256SUMS.txt) || fail "checksums"
iconv -f CP932 -t UTF-8 "$work/vantor/お読みください.txt" >/dev/null || fail "the guide is not cp932"

# A Wine prefix of its own, with the Japanese fonts that the dialog asks for.
unset DISPLAY
wine64 wineboot -i >/dev/null 2>&1
for font in 'ＭＳ Ｐゴシック=IPAPGothic' 'ＭＳ ゴシック=IPAGothic' 'MS UI Gothic=IPAPGothic'; do
  wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${font%%=*}" /d "${font#*=}" /f >/dev/null 2>&1
done
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
mkdir -p "$work/game/Scenario"
cp samples/sample.scx "$work/game/Scenario/"
wine64 reg add 'HKLM\SOFTWARE\Microsoft\Microsoft Games\Age of Empires II: The Conquerors Expansion\1.0' \
  /v 'EXE Path' /d "Z:${work//\//\\}\\game" /f /reg:32 >/dev/null 2>&1
wineserver -w

# vantor-report.exe reports the sample.
scenario="Z:${work//\//\\}\\game\\Scenario\\sample.scx"
(cd "$work/vantor" && wine64 ./vantor-report.exe "$scenario") >"$work/printed.txt" || fail "vantor-report.exe failed"
report=$work/game/Scenario/sample.scx.txt
[ -s "$report" ] || fail "no report written"
[ ! -e "$work/game/Scenario/sample.scx.dat" ] || fail "the temporary file was left"
grep -q 'sample.scx.txt' "$work/printed.txt" || fail "the report's path was not printed"
cp "$report" "$results/sample.scx.txt"
native=${VANTOR_NATIVE_REPORT:-$root/build/release-linux/cli/vantor-report}
if [ -x "$native" ]; then
  "$native" --stdout samples/sample.scx | cmp - "$report" || fail "the report differs from the native build's"
  echo "== vantor-report.exe: sample report identical to the native build's ($(stat -c %s "$report") bytes)"
else
  echo "== vantor-report.exe: sample report written ($(stat -c %s "$report") bytes); no native build to compare"
fi
ls "$work/vantor" | grep -qv '^\(LICENSE.txt\|SHA256SUMS.txt\|vantor-report.exe\|vantor.exe\|お読みください.txt\)$' \
  && fail "something appeared beside the programs"

# vantor.exe opens its dialog; the screenshot shows the sample listed.
cat >"$work/gui.sh" <<'EOF'
set -u
cd "$1/vantor"
wine64 ./vantor.exe & app=$!
found=
for _ in $(seq 50); do
  if xwininfo -root -tree | grep -q '"Vantor": ("vantor.exe"'; then found=1; break; fi
  sleep 0.2
done
sleep 1
command -v import >/dev/null && import -window root "$2/vantor-dialog.png"
kill $app 2>/dev/null; wineserver -k 2>/dev/null
[ -n "$found" ]
EOF
timeout 120 xvfb-run -a -s "-screen 0 800x600x24" bash "$work/gui.sh" "$work" "$results" \
  || fail "the vantor.exe dialog did not appear"
echo "== vantor.exe: dialog window appeared; screenshot $results/vantor-dialog.png"
echo "== release check passed"

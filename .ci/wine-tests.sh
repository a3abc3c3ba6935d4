#!/bin/bash
# The Windows build and its tests, on Debian 12 as root:
#   1. installs the cross compiler, Wine, Xvfb, the fonts and the locales;
#   2. builds the native helpers (build/app-native) and the MinGW preset
#      (build/mingw), and checks that each exe needs no DLL beside it;
#   3. runs the MinGW build's ctest under Wine in an Xvfb display with
#      LANG=ja_JP.UTF-8: the core and app unit tests, vantor-report.exe
#      against the native build, the dialog end to end, and screenshots;
#   4. takes the screenshots again with LANG=en_US.UTF-8.
# Screenshots land in build/mingw/screenshots/<locale>/.  Exit status 0 only
# when everything passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
t0=$(date +%s)
stamp() { echo "== wine-tests: $1 ($(($(date +%s) - t0)) s)"; }

# --- 1. Packages and locales ----------------------------------------------
packages=(cmake ninja-build g++ zlib1g-dev libgtest-dev googletest
          g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
          g++-mingw-w64-i686-posix wine64 fonts-wine fonts-ipafont-gothic locales xvfb xauth imagemagick
          python3-xlib)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    timeout 600 apt-get update -q
    timeout 1200 apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
for loc in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$loc.utf-\?8$"; then
        sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
        grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" >>/etc/locale.gen
        need_locale_gen=1
    fi
done
[ -z "${need_locale_gen:-}" ] || timeout 300 locale-gen
stamp "packages and locales"

# --- 2. Builds -------------------------------------------------------------
timeout 300 cmake -S . -B build/app-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
timeout 1200 cmake --build build/app-native -j2 --target vantor-report make_gui_scenarios
timeout 300 cmake --preset mingw -DVANTOR_NATIVE_BUILD_DIR="$root/build/app-native" >/dev/null
timeout 1800 cmake --build build/mingw -j2
# The 32-bit build compiles too, without a warning.
timeout 300 cmake --preset mingw-i686 >/dev/null
timeout 1800 cmake --build --preset mingw-i686 -j2
stamp "builds"

# Each exe stands alone: it imports only system DLLs.
system_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|shell32|ole32|msvcrt)\.dll$'
for exe in build/mingw/app/vantor.exe build/mingw/cli/vantor-report.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    foreign=$(echo "$dlls" | tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
    if [ -n "$foreign" ]; then echo "FAIL $exe needs DLLs beside it: $foreign"; exit 1; fi
    echo "ok   $exe imports only:" $dlls
done

# --- 3. Wine in an Xvfb display ---------------------------------------------
export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=$root/build/mingw/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES || true

display=
for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=$n; break; }
done
[ -n "$display" ] || { echo "FAIL no free X display number"; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$display" ] || { echo "FAIL Xvfb did not start"; exit 1; }
export DISPLAY=:$display

wine() { timeout 120 wine64 "$@" </dev/null >/dev/null 2>&1; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i
    # Wine draws its own window frames (no window manager here, and no
    # 2-second wait on every closed window); Japanese fonts as on Windows.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAPGothic /f
    timeout 60 wineserver -w || true
fi
# The Wine session starts here, not under ctest: its system processes would
# otherwise hold ctest's output pipes open.
timeout 30 wineserver -p </dev/null >/dev/null 2>&1 || true  # or one is running already
wine wineboot
stamp "Wine prefix and display :$display"

status=0
timeout 900 ctest --test-dir build/mingw --output-on-failure --timeout 300 || status=1
stamp "ctest under Wine ($LANG)"

# --- 4. The same screenshots on a Western system ------------------------------
LANG=en_US.UTF-8 timeout 300 ctest --test-dir build/mingw --output-on-failure -L screenshots || status=1
stamp "screenshots (en_US.UTF-8)"

ls build/mingw/screenshots/*/
[ $status = 0 ] && echo "wine-tests: all passed" || echo "wine-tests: FAILED"
exit $status

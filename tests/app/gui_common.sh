# Shared by the GUI test scripts: Wine paths, the registry, and starting and
# stopping vantor.exe.  Expects $wine.

[ -n "${DISPLAY:-}" ] || { echo "SKIP: no X display; .ci/wine-tests.sh runs this under Xvfb"; exit 77; }

game_key='HKLM\SOFTWARE\Microsoft\Microsoft Games\Age of Empires II: The Conquerors Expansion\1.0'

# Wine shows the Unix root as drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# A folder of the Windows user's (USERPROFILE, APPDATA), on the Unix side.
user_folder() {
    timeout 30 "$wine" winepath -u "$(timeout 30 "$wine" cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r')" \
        </dev/null 2>/dev/null
}

# wine reg, quietly (its messages are cp932).
reg() { timeout 30 "$wine" reg "$@" >/dev/null 2>&1 </dev/null; }

# Starts vantor.exe in the background; app_pid is its process.
start_app() {
    timeout 120 "$wine" "$1" </dev/null >>"$log" 2>&1 &
    app_pid=$!
}

# Waits for vantor.exe to end (killing it when `kill` is given); its status.
end_app() {
    [ "${1:-}" = kill ] && kill "$app_pid" 2>/dev/null
    wait "$app_pid"
}

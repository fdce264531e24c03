# Sourced by the scripts that run Windows programs: a fresh Wine prefix in the given folder, its server started so
# that it outlives no pipe of the caller, and stopped again on exit.
#   source tools/wine-session.sh; start_wine_session "$build/wineprefix"
start_wine_session() {
    export WINEPREFIX=$1
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
    trap stop_wine_session EXIT
    # A persistent server and a first program started with every output to /dev/null: otherwise the server that the
    # first test starts keeps ctest's output pipe open, and ctest waits for it forever.
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot -i >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

stop_wine_session() {
    wineserver -k >/dev/null 2>&1 || true
    for pid in ${WINE_SESSION_PIDS:-}; do
        kill "$pid" 2>/dev/null || true
    done
}

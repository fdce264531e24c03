#!/usr/bin/env bash
# The Windows program under Wine on a private display: the backend against target and driver programs of its own,
# the windows over the fake platform, the real tappora.exe end to end; then the backend's figures.
#   tools/test-windows.sh [build folder, default build-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

tools/build-windows.sh "$build"

# -noreset: without it the server resets when its last client leaves, between two Wine programs. The tray host comes
# before the first Wine program, so that the program finds a notification area to put its icon in.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
WINE_SESSION_PIDS=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$display_file")"
rm -f "$display_file"
trayer --align left --edge bottom --widthtype pixel --width 120 >/dev/null 2>&1 &
WINE_SESSION_PIDS="$WINE_SESSION_PIDS $!"

source tools/wine-session.sh
start_wine_session "$PWD/$build/wineprefix-display"
ctest --test-dir "$build" --output-on-failure --timeout 300 -L '^win32$'
echo "Windows backend figures under Wine (load average $(cut -d' ' -f1-3 /proc/loadavg)):"
wine "$build/bin/tappora_win32_bench.exe" 3

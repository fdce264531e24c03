#!/usr/bin/env bash
# Remakes the Windows pictures in docs/: the main window with a few clicks (one of them running), the click editor
# and the options dialog, taken from the real tappora.exe under Wine on a private Xvfb.
#   tools/screenshots-windows.sh [tappora.exe]    (default: build-windows/bin/tappora.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The window title carries the project version, as CMakeLists.txt states it.
title="Tappora $(sed -n 's/^project(Tappora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
program=${1:-$root/build-windows/bin/tappora.exe}
work=$(mktemp -d)
xvfb_pid=""
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

cleanup() {
    [ -n "${WINEPREFIX:-}" ] && "$wineserver" -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The same clicks and columns as the Linux pictures.
source "$root/tools/screenshot-files.sh"
mkdir -p "$work/program"
cp "$program" "$work/program/tappora.exe"
write_click_list "$work/program/tapporas.xml"
write_settings "$work/program/TapporaConfig.xml"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
"$wineserver" -p 2>/dev/null || true
wine cmd /c exit >/dev/null 2>&1

# Without a window manager Wine windows take no keys from xdotool, so the script clicks, at client points of the
# windows' fixed layouts (the X window of a Wine window is its client area and menu bar). Global hotkeys do work.
click() { # window id, x, y
    xdotool mousemove --window "$1" "$2" "$3" click 1
}
menu_bar=20
button_y=$((menu_bar + 31))

(cd "$work/program" && wine tappora.exe >/dev/null 2>&1 &)
main=$(window "$title")
xdotool windowfocus --sync "$main"
xdotool key ctrl+F2
sleep 1.5
shoot "$main" windows-main-window.png

click "$main" 33 "$button_y"
editor=$(window "New Mouse Action")
shoot "$editor" windows-editor.png
click "$editor" 354 674
sleep 0.5

click "$main" 343 "$button_y"
options=$(window "Config Options")
shoot "$options" windows-options.png
click "$options" 157 327
sleep 0.5

click "$main" 405 "$button_y"
for _ in $(seq 100); do xdotool search --name "^$title\$" >/dev/null 2>&1 || break; sleep 0.1; done

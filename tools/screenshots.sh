#!/usr/bin/env bash
# Remakes the pictures in docs/: the main window with a few clicks (one of them running), the click editor and
# the options dialog, taken from the real program under a private Xvfb.
#   tools/screenshots.sh [build folder]    (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The window title carries the project version, as CMakeLists.txt states it.
title="Tappora $(sed -n 's/^project(Tappora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
build=${1:-$root/build}
work=$(mktemp -d)
xvfb_pid=""
program_pid=""

cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$root/tools/screenshot-files.sh"
cp "$build/bin/tappora" "$work/"
write_click_list "$work/tapporas.xml"
write_settings "$work/TapporaConfig.xml"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
unset QT_QPA_PLATFORM

"$work/tappora" &
program_pid=$!
main=$(window "$title")
xdotool windowfocus "$main"
xdotool key ctrl+F2
sleep 1.5
shoot "$main" main-window.png

xdotool windowfocus "$main"
xdotool key alt+n
editor=$(window "New Mouse Action")
shoot "$editor" editor.png
xdotool windowfocus --sync "$editor"; xdotool key alt+c; sleep 0.5

xdotool windowfocus "$main"
xdotool key alt+o
options=$(window "Config Options")
shoot "$options" options.png
xdotool windowfocus --sync "$options"; xdotool key alt+c; sleep 0.5

kill -TERM "$program_pid"
wait "$program_pid" || true
program_pid=""

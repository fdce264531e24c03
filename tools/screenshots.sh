#!/usr/bin/env bash
# Remakes the pictures in docs/: the main window with a few clicks (one of them running), the click editor, the
# options dialog and the editor's Find now (a picture found and marked, a colour missed), taken from the real program
# under a private Xvfb.
#   tools/screenshots.sh [build folder]    (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The window title carries the project version, as CMakeLists.txt states it.
title="Tappora $(sed -n 's/^project(Tappora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
build=${1:-$root/build}
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
scene_pid=""

cleanup() {
    [ -n "$scene_pid" ] && kill "$scene_pid" 2>/dev/null || true
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

# Find now beside a window with two buttons: the click looks for the picture of Play (found, and framed with the
# ring of its 20-pixel spread for two seconds) or for pure red, which the Stop button only comes near.
font=$(fc-match -f '%{file}' 'DejaVu Sans:bold')
convert -size 240x100 xc:'#e8e8e8' -fill '#2a6fdb' -draw 'roundrectangle 24,30 116,66 8,8' \
    -fill '#e01818' -draw 'roundrectangle 132,30 216,66 8,8' -fill white -font "$font" -pointsize 15 \
    -draw "text 52,54 'Play'" -draw "text 156,54 'Stop'" "$work/scene.png"
convert "$work/scene.png" -crop 40x22+46+37 +repage -type truecolor BMP3:"$work/play.bmp"
write_find_list "$work/tapporas.xml" "$(base64 -w0 "$work/play.bmp")"
display -geometry +760+620 -title scene "$work/scene.png" &
scene_pid=$!
"$work/tappora" &
program_pid=$!
main=$(window "$title")
xdotool mousemove --window "$main" 40 109 click 1
xdotool key alt+e
editor=$(window "Edit Mouse Action")
sleep 1
find_now() { xdotool mousemove --window "$editor" 51 649 click 1; sleep 0.8; }
# The editor's lower part with the result line, and the window beside it.
find_now
import -window root -crop 716x140+294+606 "$root/docs/find-now-found.png"
echo docs/find-now-found.png
xdotool mousemove --window "$editor" 30 179 click 1 # "Search color block and click"
sleep 2.5
find_now
import -window root -crop 716x140+294+606 "$root/docs/find-now-missed.png"
echo docs/find-now-missed.png

kill -TERM "$program_pid"
wait "$program_pid" || true
program_pid=""

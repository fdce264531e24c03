#!/usr/bin/env bash
# Remakes the pictures in docs/: the main window with a few clicks (one of them running), the click editor and
# the options dialog, taken from the real program under a private Xvfb.
#   tools/screenshots.sh [build folder]    (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
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

item() { # name pointType x y interval hkStart hkStop checked
    printf '<item fPosX="%s" fPosY="%s" fStartAt="09:30:00" fStartInterval="60" fRepeat="100" fColor="clRed" ' "$3" "$4"
    printf 'fTop="0" fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" '
    printf 'pointType="%s" mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" ' "$2"
    printf 'iClickInterval="%s" hkStart="%s" hkStop="%s" fName="%s" checked="%s" fRanBegin="100" fRanEnd="5000" ' \
        "$5" "$6" "$7" "$1" "$8"
    printf 'InteverType="0"/>'
}

cp "$build/bin/tappora" "$work/"
{
    printf '<?xml version="1.0" encoding="utf-8"?><list versionNo="1.0" generated="tools/screenshots.sh">'
    item "Collect coins" 1 1300 700 200 1 2 True
    item "Refresh page" 0 0 0 60000 3 4 False
    item "Click the red button" 2 0 0 1500 5 6 True
    printf '</list>'
} >"$work/tapporas.xml"
col() { printf '<col id="%s" Name="%s" Align="left" Color="" Width="%s" Visible="%s" Index="%s"/>' "$1" "$2" "$3" "$4" "$1"; }
{
    printf '<config versionNo="2.0" generated="tools/screenshots.sh"><frame left="10" top="10" height="260" '
    printf 'width="1040" max="False" running="rbNormal" autorun="False"/><cols>'
    col 0 "Name" 130 True
    col 1 "Click Point" 190 True
    col 2 "Mouse Button" 85 True
    col 3 "Mouse Action" 85 True
    col 4 "Click Interval" 85 True
    col 5 "Start Option" 80 True
    col 6 "Stop Option" 110 True
    col 7 "Start HotKey" 75 True
    col 8 "Stop HotKey" 75 True
    col 9 "After Click Action" 0 False
    col 10 "Action Stats" 110 True
    printf '</cols></config>'
} >"$work/TapporaConfig.xml"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
unset QT_QPA_PLATFORM

window() { # title: waits for the window and prints its id
    for _ in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "no window titled '$1'" >&2
    return 1
}

shoot() { # window id, picture name
    sleep 0.5
    import -window "$1" "$root/docs/$2"
    echo "docs/$2"
}

"$work/tappora" &
program_pid=$!
main=$(window "Tappora 4.1.7")
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

#!/usr/bin/env bash
# Remakes the Windows pictures in docs/: the main window with a few clicks (one of them running), the click editor,
# its Find now with a colour found and marked and with the colour gone, a row's tip and the options dialog, taken
# from the real tappora.exe under Wine on a private Xvfb.
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
# The fixed point lies on this smaller screen, so that the first click runs. The colour click searches only around
# the place where Find now's picture shows a red patch (its third scope): a whole screen would hold the editor, whose
# swatch shows the colour too.
sed -i 's/fPosX="1300"/fPosX="1000"/;
        s/fTop="0" fBottom="768" fLeft="0" fRight="1024"/fTop="480" fBottom="600" fLeft="20" fRight="200"/3;
        s/ScreenType="0"/ScreenType="1"/3' "$work/program/tapporas.xml"
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
gone() { # title: waits until no window shows it
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0; sleep 0.1; done
}
menu_bar=20
button_y=$((menu_bar + 31))

(cd "$work/program" && wine tappora.exe >/dev/null 2>&1 &)
main=$(window "$title")
xdotool windowfocus --sync "$main"
xdotool key ctrl+F2
sleep 1.5
shoot "$main" windows-main-window.png
# The fixed click would go on taking the pointer away from the clicks below.
xdotool key ctrl+F3

# Client points of the editor's layout (control/ClickEditorLayout.cpp, ui/win32/ClickEditorDialog.cpp): its panel
# lies at (6, 8), Find now in the panel's row above the name, Cancel in the bottom row.
find_now_x=51 find_now_y=649 cancel_x=354 cancel_y=698

click "$main" 33 "$button_y"
editor=$(window "New Mouse Action")
shoot "$editor" windows-editor.png
click "$editor" "$cancel_x" "$cancel_y"
gone "New Mouse Action"

# Find now in the editor of the colour click (the third row): a red patch left of the editor is found and marked for
# two seconds; once the patch is gone, the line tells how near the screen came. Both show the editor's bottom and
# the patch's place.
display -geometry +60+520 -size 40x24 xc:red &
patch_pid=$!
sleep 1
xdotool mousemove --window "$main" 66 144 click --repeat 2 --delay 80 1
editor=$(window "Edit Mouse Action")
sleep 1
click "$editor" "$find_now_x" "$find_now_y"
sleep 0.7
import -window root -crop 740x288+0+480 "$root/docs/windows-find-now.png"
echo docs/windows-find-now.png
kill "$patch_pid"
sleep 2.5
click "$editor" "$find_now_x" "$find_now_y"
sleep 1.5
import -window root -crop 740x288+0+480 "$root/docs/windows-find-not-found.png"
echo docs/windows-find-not-found.png
click "$editor" "$cancel_x" "$cancel_y"
gone "Edit Mouse Action"

# The colour click running where its colour is gone: the pointer resting on its row brings up the row's tip.
xdotool windowfocus --sync "$main"
xdotool key ctrl+F6
sleep 4
xdotool mousemove --window "$main" 66 144
sleep 0.3
xdotool mousemove --window "$main" 68 145
sleep 3
import -window root -crop 1024x150+0+110 "$root/docs/windows-row-tip.png"
echo docs/windows-row-tip.png

click "$main" 343 "$button_y"
options=$(window "Config Options")
shoot "$options" windows-options.png
click "$options" 157 418
sleep 0.5

click "$main" 405 "$button_y"
for _ in $(seq 100); do xdotool search --name "^$title\$" >/dev/null 2>&1 || break; sleep 0.1; done

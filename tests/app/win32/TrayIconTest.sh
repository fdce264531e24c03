#!/usr/bin/env bash
# The notification-area icon under a real tray host: tappora.exe started from a folder of its own docks its icon
# into the tray (trayer, started by tools/test-windows.sh before the first Wine program), and goes again with the
# program, which closes as asked and leaves both files beside itself.
#   TrayIconTest.sh TAPPORA_EXE
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'wine taskkill /im tappora.exe >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

panel=$(xdotool search --class trayer | while read -r id; do
    xwininfo -id "$id" | grep -q '"panel"' && echo "$id"
done | head -1)
[ -n "$panel" ] || { echo "no tray host on $DISPLAY"; exit 1; }
docked() { xwininfo -tree -id "$panel" | grep -c '"explorer.exe"' || true; }
[ "$(docked)" = 0 ] || { echo "an icon is docked before the program starts"; exit 1; }

cp "$program" "$work/tappora.exe"
(cd "$work" && wine tappora.exe >/dev/null 2>&1 </dev/null &)
for _ in $(seq 200); do [ "$(docked)" != 0 ] && break; sleep 0.1; done
[ "$(docked)" = 1 ] || { echo "the program's icon did not dock into the tray"; exit 1; }

wine taskkill /im tappora.exe >/dev/null 2>&1
for _ in $(seq 200); do [ "$(docked)" = 0 ] && break; sleep 0.1; done
[ "$(docked)" = 0 ] || { echo "the icon stayed in the tray after the program closed"; exit 1; }
for _ in $(seq 100); do [ -f "$work/TapporaConfig.xml" ] && [ -f "$work/tapporas.xml" ] && break; sleep 0.1; done
[ -f "$work/tapporas.xml" ] && [ -f "$work/TapporaConfig.xml" ] || { echo "closing did not save both files"; exit 1; }
echo "the icon docked and went with the program; both files saved"

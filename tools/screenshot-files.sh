# What the screenshot scripts share: the click list and settings they give the program (three clicks, the usual
# columns), waiting for a window and taking its picture into docs/. Sourced by tools/screenshots.sh and
# tools/screenshots-windows.sh, which set $root.

item() { # name pointType x y interval hkStart hkStop checked
    printf '<item fPosX="%s" fPosY="%s" fStartAt="09:30:00" fStartInterval="60" fRepeat="100" fColor="clRed" ' "$3" "$4"
    printf 'fTop="0" fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" '
    printf 'pointType="%s" mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" ' "$2"
    printf 'iClickInterval="%s" hkStart="%s" hkStop="%s" fName="%s" checked="%s" fRanBegin="100" fRanEnd="5000" ' \
        "$5" "$6" "$7" "$1" "$8"
    printf 'InteverType="0"/>'
}

write_click_list() { # file
    {
        printf '<?xml version="1.0" encoding="utf-8"?><list versionNo="1.0" generated="tools/screenshots.sh">'
        item "Collect coins" 1 1300 700 200 1 2 True
        item "Refresh page" 0 0 0 60000 3 4 False
        item "Click the red button" 2 0 0 1500 5 6 True
        printf '</list>'
    } >"$1"
}

write_find_list() { # file, the picture as base64: one picture click, whose colour is pure red
    {
        printf '<?xml version="1.0" encoding="utf-8"?><list versionNo="1.0" generated="tools/screenshots.sh">'
        item "Press Play" 3 0 0 1000 1 2 True | sed "s|fBMP=\"\"|fBMP=\"$2\"|; s|fBMPSimplar=\"100\"|fBMPSimplar=\"95\" fJitter=\"20\"|"
        printf '</list>'
    } >"$1"
}

col() { printf '<col id="%s" Name="%s" Align="left" Color="" Width="%s" Visible="%s" Index="%s"/>' "$1" "$2" "$3" "$4" "$1"; }

write_settings() { # file
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
    } >"$1"
}

window() { # title: waits for the window and prints its id
    for _ in $(seq 300); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "no window titled '$1'" >&2
    return 1
}

shoot() { # window id, picture name
    sleep 1
    import -window "$1" "$root/docs/$2"
    echo "docs/$2"
}

#!/usr/bin/env bash
# Writes the seed corpora under fuzz/corpus/<target>/: a few small, hand-made inputs per target, good and bad.
# The fuzzers grow their own working corpora elsewhere (tools/run-fuzz.sh); these seeds are what the repo keeps.
set -euo pipefail
corpus="$(cd "$(dirname "$0")" && pwd)/corpus"
rm -rf "$corpus"
mkdir -p "$corpus"/{base64,bmp,clicklist,config,colortext,search,command}

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# A BMP file image: headers for width x height at `bits` bits, `compression`, then `pixels` bytes of 0x7f.
bmp() {
    local width=$1 height=$2 bits=${3:-24} compression=${4:-0} pixels=${5:-}
    local line=$(((width * bits + 31) / 32 * 4))
    [ -z "$pixels" ] && pixels=$((line * height))
    printf 'BM'; le32 $((54 + pixels)); le32 0; le32 54
    le32 40; le32 "$width"; le32 "$height"; le16 1; le16 "$bits"; le32 "$compression"
    le32 "$pixels"; le32 2835; le32 2835; le32 0; le32 0
    head -c "$pixels" /dev/zero | tr '\0' '\177'
}

bmp 2 2 >"$corpus/bmp/2x2"
bmp 3 1 >"$corpus/bmp/3x1"
bmp 5 3 >"$corpus/bmp/5x3"
bmp 0 0 >"$corpus/bmp/empty"
bmp 4 4 24 0 20 >"$corpus/bmp/short-rows"
bmp 2 2 32 >"$corpus/bmp/32-bit"
bmp 2 2 24 1 >"$corpus/bmp/rle"
bmp 2 -2 24 0 16 >"$corpus/bmp/top-down"
bmp 25000 25000 24 0 8 >"$corpus/bmp/huge-header"
bmp 2139062016 2139062016 24 0 8 >"$corpus/bmp/overflowing-size"
printf 'BM' >"$corpus/bmp/two-bytes"

picture=$(bmp 2 2 | base64 -w0)
printf '%s' "$picture" >"$corpus/base64/picture"
printf '' >"$corpus/base64/empty"
printf 'QQ==' >"$corpus/base64/one-byte"
printf 'QUI=' >"$corpus/base64/two-bytes"
printf 'QUJD' >"$corpus/base64/three-bytes"
printf 'QR==' >"$corpus/base64/loose-bits"
printf 'Q===' >"$corpus/base64/three-pads"
printf 'QQ==QUJD' >"$corpus/base64/inner-padding"
printf 'QUJ' >"$corpus/base64/short"
printf 'QU\nJD' >"$corpus/base64/line-break"

declaration='<?xml version="1.0" encoding="utf-8" standalone="yes"?>'
all='fPosX="300" fPosY="200" fStartAt="14:05:00" fStartInterval="60" fRepeat="5" fColor="clLime" fTop="0"
 fBottom="768" fLeft="0" fRight="1024" fBMP="'"$picture"'" fColorSimplar="90" fBMPSimplar="100" pointType="3"
 mouseType="1" actionType="1" startType="2" stopType="1" finishType="2" ScreenType="1" iClickInterval="25"
 hkStart="0" hkStop="11" fName="All &amp; &lt;every&gt; field" checked="False" fRanBegin="900" fRanEnd="100"
 InteverType="1"'
printf '%s<list versionNo="1.0" generated="x"/>' "$declaration" >"$corpus/clicklist/empty-list"
printf '%s<list versionNo="1.0"><item %s/><item/></list>' "$declaration" "$all" >"$corpus/clicklist/two-items"
printf '<list><item fPosX="x" checked="" hkStart="256" mouseType="-1" fColor="nonsense" fBMP="QQ="/></list>' \
    >"$corpus/clicklist/bad-values"
printf '<other><click fName="any name"/><!-- note --><item fName="b"/>text</other>' >"$corpus/clicklist/other-names"
printf '<list><item fName="half' >"$corpus/clicklist/truncated"
printf '<list/><list/>' >"$corpus/clicklist/two-roots"
printf '\xff\xfe<\0l\0i\0s\0t\0/\0>\0' >"$corpus/clicklist/utf16"

template='<?xml version="1.0"?>    <config versionNo="2.0" generated="https://tappora.example.org/">    '
template+='<frame left="296" top="228" height="344" width="687" max="False" running="rbNormal" autorun="False"/>    '
template+='<cols>    <col id="0" Name="Name" Align="left" Color="" Width="85" Visible="True" Index="0"/>    '
template+='<col id="9" Name="After Click Action" Align="right" Color="" Width="72" Visible="False" Index="9"/>    '
template+='</cols>    </config>    '
printf '%s' "$template" >"$corpus/config/template"
printf '%s' "${template/2.0/2.1}" >"$corpus/config/other-version"
printf '<config versionNo="2.0"><frame left="x" max="maybe"/><cols><col Width="-5" Index="99"/></cols></config>' \
    >"$corpus/config/bad-values"
printf '<config versionNo="2.0"><cols/></config>' >"$corpus/config/no-frame"
printf '<config versionNo="2.0"><frame' >"$corpus/config/truncated"

for text in clLime CLLIME '$0000FF00' '$00123456' -1 '$FFFFFFFF' 0x10 16 clNone clMenuBar cl '$' ' 5' '$123456789'; do
    printf '%s' "$text" >"$corpus/colortext/$(printf '%s' "$text" | od -An -tx1 | tr -d ' \n')"
done

for seed in 1 2 3 4; do
    head -c $((600 * seed)) /dev/urandom >"$corpus/search/random-$seed"
done

# Command requests; the first byte sets the size of the pieces the rest arrives in.
printf '\x01TAPPORA/1\tstart\t--\tA\t#2\n' >"$corpus/command/start"
printf '\x07TAPPORA/1\tstop\t--all\n' >"$corpus/command/stop-all"
printf '\x03TAPPORA/1\tlist\t--json\n' >"$corpus/command/list-json"
printf '\x05TAPPORA/1\ttoggle\t--\ttab\\x09name\\x5C\n' >"$corpus/command/escaped"
printf '\x02TAPPORA/1\tstart\t\xC3\xA9\xFF\n' >"$corpus/command/not-utf8"
printf '\x04TAPPORA/1\tquit' >"$corpus/command/unfinished"
printf '\x0fGET / HTTP/1.1\r\n\r\n' >"$corpus/command/garbage"

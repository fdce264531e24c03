#!/usr/bin/env bash
# Unpacks Debian's pugixml source package into the given folder (for the Windows cross build; Debian has no mingw
# build of it). The source entries are derived from the machine's own apt sources, in a private apt state, so
# neither the system's configuration nor this repository names an archive.
set -euo pipefail
out=$(realpath -m "${1:?folder}")
[ -f "$out/pugixml/src/pugixml.cpp" ] && exit 0

state="$out/apt"
mkdir -p "$state/lists/partial" "$state/archives/partial" "$state/sources.list.d"
: >"$state/sources.list"
to_source_lines() { sed -nE 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$1"; }
[ -f /etc/apt/sources.list ] && to_source_lines /etc/apt/sources.list >>"$state/sources.list"
for f in /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && to_source_lines "$f" >"$state/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$state/sources.list.d/$(basename "$f")"
done

apt_private=(-o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts="$state/sources.list.d"
    -o Dir::State::Lists="$state/lists" -o Dir::Cache::Archives="$state/archives" -o APT::Get::List-Cleanup=0
    -o APT::Sandbox::User=root)
apt-get "${apt_private[@]}" update -qq
(cd "$out" && apt-get "${apt_private[@]}" source -qq pugixml >/dev/null)
unpacked=$(find "$out" -maxdepth 1 -type d -name 'pugixml-*' | head -n1)
[ -n "$unpacked" ] || { echo "pugixml source package not unpacked" >&2; exit 1; }
rm -rf "$out/pugixml" && mv "$unpacked" "$out/pugixml"

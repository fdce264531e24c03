#!/usr/bin/env bash
# Unpacks one of Debian's source packages into FOLDER/PACKAGE: pugixml for the Windows cross build (Debian has no
# mingw build of it), wlroots for its protocol files (no binary package carries them). The source entries are
# derived from the machine's own apt sources, in a private apt state, so neither the system's configuration nor this
# repository names an archive. Nothing is done when FOLDER/PACKAGE/FILE is already there.
#
#     tools/fetch-debian-source.sh build/deps wlroots protocol/wlr-screencopy-unstable-v1.xml
set -euo pipefail
out=$(realpath -m "${1:?folder}")
package=${2:?source package}
present=${3:?a file of the package that shows it is unpacked}
[ -f "$out/$package/$present" ] && exit 0

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
[ -n "$(ls -A "$state/lists" 2>/dev/null | grep -v partial)" ] || apt-get "${apt_private[@]}" update -qq
rm -rf "$out/unpack-$package" && mkdir -p "$out/unpack-$package"
(cd "$out/unpack-$package" && apt-get "${apt_private[@]}" source -qq "$package" >/dev/null)
unpacked=$(find "$out/unpack-$package" -maxdepth 1 -type d -name "$package-*" | head -n1)
[ -n "$unpacked" ] || { echo "$package source package not unpacked" >&2; exit 1; }
rm -rf "${out:?}/$package" && mv "$unpacked" "$out/$package" && rm -rf "$out/unpack-$package"

#!/usr/bin/env bash
# Installs the Debian package of a build folder as a user would (apt-get install ./tappora_*.deb), runs the
# installed /usr/bin/tappora for a user with a fresh home folder (clicks, hotkeys, files in ~/.config/tappora), then
# removes the package again and checks that the user's files are still there.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
deb=$(ls "$build"/tappora_*_amd64.deb)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

home=$(mktemp -d /tmp/tappora-home-XXXXXX)
remove_package() { $sudo apt-get -o DPkg::Lock::Timeout=120 remove -y -qq --purge tappora >/dev/null; }
trap 'remove_package 2>/dev/null || true; rm -rf "$home"' EXIT

(cd "$build" && $sudo apt-get -o DPkg::Lock::Timeout=120 install -y -qq ./tappora_*_amd64.deb >/dev/null)
test -x /usr/bin/tappora
/usr/bin/tappora --version
# The menu entry and its actions start the installed program, and the entry finds its icon.
while read -r program; do
    [ "$(command -v "$program")" = /usr/bin/tappora ]
done < <(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/tappora.desktop)
test -f /usr/share/icons/hicolor/scalable/apps/"$(sed -n 's/^Icon=//p' /usr/share/applications/tappora.desktop)".svg

TAPPORA_INSTALLED_PROGRAM=/usr/bin/tappora TAPPORA_INSTALLED_HOME="$home" \
    "$build"/bin/e2e_tests --gtest_filter='InstalledProgramTest.*' --gtest_brief=1
files="$home/.config/tappora"
saved=$(cat "$files/tapporas.xml" "$files/TapporaConfig.xml" | md5sum)

remove_package
test ! -e /usr/bin/tappora
[ "$(cat "$files/tapporas.xml" "$files/TapporaConfig.xml" | md5sum)" = "$saved" ] || {
    echo "removing the package changed the user's files in $files" >&2
    exit 1
}
echo "Installed, ran, clicked, saved in ~/.config/tappora and removed $(basename "$deb"); the user's files stay."

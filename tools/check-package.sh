#!/usr/bin/env bash
# Checks the Debian package of a build folder and the desktop files in it: the menu entry, the AppStream metainfo and
# lintian (errors fail; warnings are shown).
set -euo pipefail
build=${1:?build folder}
deb=$(ls "$build"/tappora_*_amd64.deb)
desktop-file-validate packaging/tappora.desktop
appstreamcli validate --no-net --pedantic "$build"/packaging/org.example.tappora.metainfo.xml
# CI runs as root; lintian only reads the package.
lintian --fail-on error --allow-root "$deb"
echo "Checked $deb"

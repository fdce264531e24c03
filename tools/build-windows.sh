#!/usr/bin/env bash
# Cross-builds for Windows with mingw-w64: installs the compilers and Wine, unpacks Debian's pugixml sources, and
# builds the given targets (all when none are given) into the build folder.
#   tools/build-windows.sh [build folder, default build-windows] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
shift || true

tools/install-deps.sh --windows
tools/fetch-debian-source.sh "$build/deps" pugixml src/pugixml.cpp
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTAPPORA_PUGIXML_SOURCE="$PWD/$build/deps/pugixml" >/dev/null
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake --build "$build" -j"${JOBS:-2}" "${targets[@]}"

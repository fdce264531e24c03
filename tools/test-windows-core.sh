#!/usr/bin/env bash
# Cross-builds the core (model, pixels, engine, control, fake platform) and its tests for Windows with mingw-w64
# and runs the tests under Wine, in a fresh Wine prefix of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
jobs=${JOBS:-2}

core_tests=(model_tests pixels_tests engine_tests control_tests platform_tests faults_tests)
tools/build-windows.sh "$build" "${core_tests[@]}"

unset DISPLAY
source tools/wine-session.sh
start_wine_session "$PWD/$build/wineprefix"
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 300 -L '^(model|pixels|engine|control|platform|faults)$'

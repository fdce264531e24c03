#!/usr/bin/env bash
# Runs every test of a build folder; X11 and end-to-end tests start their own Xvfb servers.
set -euo pipefail
build=${1:?build folder}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

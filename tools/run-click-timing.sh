#!/usr/bin/env bash
# Clicks on time: builds the click timing tool (Release) and runs it on a private Xvfb. Prints a line on the
# machine, then the tables of the runner on the Qt loop beside xdotool.
# Usage: tools/run-click-timing.sh [build folder, default build-bench] [--clicks N] [--slow-clicks N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
    build=$1
    shift
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPPORA_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target click_timing >/dev/null

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
versions=$(dpkg-query -W -f='${Package} ${Version}, ' qt6-base-dev xvfb xdotool 2>/dev/null || true)
echo "Machine: $cpu, $(nproc) cores, Linux $(uname -r); ${versions%, }; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
"$build/bin/click_timing" "$@"

#!/usr/bin/env bash
# Runs the benchmarks of a build folder: the search benchmarks first (extra arguments go to them; the last lines of
# their output are the table of ratios), the capture benchmarks, then every other benchmark program the build made.
# By default each search benchmark runs 5 times, interleaved at random with the others, and the table takes the
# medians: a ratio then compares runs made under the same load on the machine. The capture benchmarks always do.
set -euo pipefail
build=${1:?build folder}
shift
if [ $# -eq 0 ]; then
    set -- --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1
fi
"$build/bin/search_bench" "$@"
if [ -x "$build/bin/capture_bench" ]; then
    echo "== capture_bench"
    "$build/bin/capture_bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
        --benchmark_min_time=0.1
fi
for bench in "$build"/bin/*_bench; do
    name=$(basename "$bench")
    if [ "$name" != search_bench ] && [ "$name" != capture_bench ] && [ -x "$bench" ]; then
        echo "== $name"
        "$bench"
    fi
done
if [ -x "$build/bin/tappora" ] && command -v Xvfb >/dev/null; then
    echo "== commands"
    "$(dirname "$0")/bench-commands.sh" "$build"
fi

#!/usr/bin/env bash
# Runs the benchmarks of a build folder: the search benchmarks first (extra arguments go to them; the last lines of
# their output are the table of ratios), then every other benchmark program the build made.
set -euo pipefail
build=${1:?build folder}
shift
"$build/bin/search_bench" "$@"
for bench in "$build"/bin/*_bench; do
    if [ "$(basename "$bench")" != search_bench ] && [ -x "$bench" ]; then
        echo "== $(basename "$bench")"
        "$bench"
    fi
done

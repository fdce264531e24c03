#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) and runs each from its seed corpus for a bounded time; fails on any finding.
#   FUZZ_SECONDS   seconds per target (default 60)
#   FUZZ_TARGETS   which targets (default: all of them)
#   FUZZ_BUILD     build folder (default build-fuzz)
# Inputs that crash or break a property are saved under <build>/fuzz-work/<target>/findings/; rerun one with
# <build>/bin/fuzz_<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-build-fuzz}
targets=${FUZZ_TARGETS:-base64 bmp clicklist config colortext search command}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTAPPORA_BUILD_FUZZ=ON -DTAPPORA_SANITIZE=ON -DTAPPORA_WERROR=ON -DTAPPORA_BACKEND=fake >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target fuzzers

passed=0
failed=0
for target in $targets; do
    work="$build/fuzz-work/$target"
    mkdir -p "$work/corpus" "$work/findings"
    status=0
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=256 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" "fuzz/corpus/$target" \
        >"$work/log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "fuzz_$target: ${runs:-?} executions in ${seconds} s, no finding"
    else
        failed=$((failed + 1))
        echo "fuzz_$target: FINDING after ${runs:-?} executions (exit $status); log $work/log:"
        grep -E 'ERROR|Property does not hold|SUMMARY|Test unit written' "$work/log" | head -20 || true
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

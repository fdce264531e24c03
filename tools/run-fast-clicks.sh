#!/usr/bin/env bash
# The real program beside the harness, in rounds: each round notes the load, then times one fixed click of the real
# program at 1 ms (processor time of the whole program per click) and at 10 ms (median interval error), and the
# harness (`click_timing`: the runner on a bare Qt loop, then xdotool) in between. Prints one table row a round with
# the ratios of the program to the harness. Needs the bench build (Release, -DTAPPORA_BUILD_BENCH=ON).
# Usage: tools/run-fast-clicks.sh [build folder, default build-bench] [rounds, default 3] [clicks, default 1000]
#        PROGRAM=path HARNESS=path override the build's tappora and click_timing (to compare two builds).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
rounds=${2:-3}
clicks=${3:-1000}
program=${PROGRAM:-$build/bin/tappora}
harness=${HARNESS:-$build/bin/click_timing}

# The last row of program_bench's timing table: column 3 is the median error, column 8 the processor time a click.
program_timing() {
    "$build/bin/program_bench" --only timing --program "$program" --timing-clicks "$clicks" --timing-interval "$1" |
        tail -1 | awk -F'|' '{ gsub(/ ms| /, ""); print $4, $9 }'
}

echo "| Round | Load average | CPU a 1 ms click: harness | program | program / harness | Median error at 10 ms:" \
    "harness | xdotool | program | program / harness |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
ratios=$(mktemp)
trap 'rm -f "$ratios"' EXIT
for round in $(seq "$rounds"); do
    load=$(cut -d' ' -f1 /proc/loadavg)
    read -r _ programCpu < <(program_timing 1)
    out=$("$harness" --clicks "$clicks" --slow-clicks 10)
    # The received table has nine columns, the runner's own eight (the last its processor time a click).
    harnessCpu=$(awk -F'|' 'NF == 9 && $2 ~ /^ 1 ms/ { gsub(/ /, "", $8); print $8 }' <<<"$out")
    harnessError=$(awk -F'|' 'NF == 11 && $2 ~ /^ 10 ms/ && $3 ~ /Tappora/ { gsub(/ /, "", $5); print $5 }' <<<"$out")
    xdotoolError=$(awk -F'|' 'NF == 11 && $2 ~ /^ 10 ms/ && $3 ~ /xdotool/ { gsub(/ /, "", $5); print $5 }' <<<"$out")
    read -r programError _ < <(program_timing 10)
    awk -v r="$round" -v l="$load" -v hc="$harnessCpu" -v pc="$programCpu" -v he="$harnessError" \
        -v xe="$xdotoolError" -v pe="$programError" 'BEGIN {
        printf "| %d | %s | %.3f ms | %.3f ms | %.2fx | %.3f ms | %.3f ms | %.3f ms | %.2fx |\n",
               r, l, hc, pc, pc / hc, he, xe, pe, pe / he }' | tee -a "$ratios"
done
# One round's load moves every figure by up to 2x: the median ratio over the rounds is the figure to read.
median() { awk -F'|' -v c="$1" '{ gsub(/[ x]/, "", $c); print $c }' "$ratios" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
echo "| Median of the rounds | | | | $(median 6)x | | | | $(median 10)x |"

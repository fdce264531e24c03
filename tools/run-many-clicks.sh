#!/usr/bin/env bash
# Many searching clicks against fixed clicks of the same run, in rounds: each round notes the load, then runs
# `program_bench --only ratio` (N fixed, N colour, 0.8 N colour + 0.2 N picture clicks at 10 ms, on an unchanging and
# on a changing screen) and `--only mix` (40 colour + 10 picture). Prints one table row a round; the last row has the
# medians of the rounds. Needs the bench build (Release, -DTAPPORA_BUILD_BENCH=ON).
# Usage: tools/run-many-clicks.sh [build folder, default build-bench] [rounds, default 3] [N, default 1000]
#        PROGRAM=path runs another build of the program (to compare two builds).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
rounds=${2:-3}
count=${3:-1000}
program=${PROGRAM:-$build/bin/tappora}

echo "| Round | Load average | Fixed, unchanging | Colour / fixed | Colour + picture / fixed | Fixed, changing |" \
    "Colour / fixed | Colour + picture / fixed | 40 + 10 delivered / wanted | Fixed click's CPU: program | X server |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for round in $(seq "$rounds"); do
    load=$(cut -d' ' -f1 /proc/loadavg)
    # Column 4 of the ratio table: clicks delivered a second, column 5 the share of the fixed clicks', column 7 the
    # program's processor time a click, column 8 the X server's share of a core.
    table=$("$build/bin/program_bench" --only ratio --program "$program" --ratio-count "$count")
    ratios=$(awk -F'|' 'NF == 9 && $4 ~ /[0-9]/ { gsub(/ |%/, "", $4); gsub(/ |%/, "", $5); printf "%s %s ", $4, $5 }' \
        <<<"$table")
    read -r programMs serverMs < <(awk -F'|' 'NF == 9 && $2 ~ /fixed/ && $3 ~ /unchanging/ {
        gsub(/ |ms/, "", $7); gsub(/ |%/, "", $8); print $7, $8 * 10 / $4 }' <<<"$table")
    mix=$("$build/bin/program_bench" --only mix --program "$program" | tail -1 |
        awk -F'|' '{ gsub(/ |%/, "", $5); print $5 }')
    read -r fixedU _ _ colourU _ mixedU fixedC _ _ colourC _ mixedC <<<"$ratios"
    printf "| %d | %s | %.0f | %.1f %% | %.1f %% | %.0f | %.1f %% | %.1f %% | %.1f %% | %.3f ms | %.3f ms |\n" \
        "$round" "$load" "$fixedU" "$colourU" "$mixedU" "$fixedC" "$colourC" "$mixedC" "$mix" "$programMs" "$serverMs" |
        tee -a "$rows"
done
median() { awk -F'|' -v c="$1" '{ gsub(/[ %]|ms/, "", $c); print $c }' "$rows" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
echo "| Median of the rounds | | $(median 4) | $(median 5) % | $(median 6) % | $(median 7) | $(median 8) % |" \
    "$(median 9) % | $(median 10) % | $(median 11) ms | $(median 12) ms |"

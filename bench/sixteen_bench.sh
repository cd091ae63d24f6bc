#!/usr/bin/env bash
# Sixteen files: times a whole `kavra-batch info` process loading the 20000 x 500
# file of load_bench.sh sixteen times, one after another as sixteen Open commands
# would, against the same process loading it once, and checks the peak memory.
#
# Usage: bench/sixteen_bench.sh    (environment: see large_file.sh)
#
# Fails (exit 1) when sixteen files take more than 17 times one file, or when the
# peak resident set size exceeds 1.2 x (the value table of sixteen files + one
# file's size). Exit 2 means the benchmark could not run.
set -euo pipefail

BENCH_NAME=sixteen_bench
source "$(dirname "${BASH_SOURCE[0]}")/large_file.sh"
SIXTEEN=()
for ((f = 1; f <= 16; f++)); do SIXTEEN+=("$FILE"); done

LOAD_BEFORE="$(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 1; i <= RUNS; i++)); do
    run_timed one "$KAVRA" info "$FILE"
    run_timed sixteen "$KAVRA" info "${SIXTEEN[@]}"
done
LOAD_AFTER="$(cut -d' ' -f1-3 /proc/loadavg)"
grep -q '^files:   16$' "$TMP/sixteen.out" || die "the sixteen files did not all load"

read -r ONE_SECS _ <<<"$(sort -n -k1,1 "$TMP/one.results" | head -n 1)"
read -r SIX_SECS _ <<<"$(sort -n -k1,1 "$TMP/sixteen.results" | head -n 1)"
SIX_KB=$(sort -n -k2,2 "$TMP/sixteen.results" | tail -n 1 | awk '{print $2}')
awk -v one="$ONE_SECS" -v six="$SIX_SECS" -v kb="$SIX_KB" -v fb="$(stat -c %s "$FILE")" -v rows="$ROWS" \
    -v cols="$COLS" -v runs="$RUNS" -v lb="$LOAD_BEFORE" -v la="$LOAD_AFTER" -v threads="${KAVRA_THREADS:-all cores}" '
BEGIN {
    mib = 1048576
    table = 16 * rows * (cols + 1 + 20) * 8
    limit = 1.2 * (table + fb)
    printf "load average:     %s before, %s after\n", lb, la
    printf "threads:          %s\n", threads
    printf "one file:         %.2f s (best of %d)\n", one, runs
    printf "sixteen files:    %.2f s (best of %d), %.1f x one file (limit 17)\n", six, runs, six / one
    printf "peak RSS:         %.1f MiB (highest of %d; limit %.1f MiB = 1.2 x (table %.1f MiB + file %.1f MiB))\n",
        kb * 1024 / mib, runs, limit / mib, table / mib, fb / mib
    fail = 0
    if (six > 17 * one) { print "FAIL: sixteen files take more than 17 times one file"; fail = 1 }
    if (kb * 1024 > limit) { print "FAIL: peak RSS above the limit"; fail = 1 }
    if (!fail) print "PASS"
    exit fail
}'

#!/usr/bin/env bash
# Load benchmark: times a whole `kavra-batch info FILE` process against
# pandas.read_csv on the same large file, and checks Kavra's peak memory. Kavra
# runs twice each round: with KAVRA_THREADS=1 (the data records read on one
# thread) and with every core (the default), so the gain per core shows.
#
# Usage: bench/load_bench.sh            (from anywhere; paths are repo-relative)
# Environment: KAVRA_BATCH, BENCH_ROWS, BENCH_COLS, BENCH_RUNS (see large_file.sh).
#
# Fails (exit 1) when the best all-core Kavra time is more than an eighth of the
# best pandas time, or when Kavra's peak resident set size exceeds
# 1.2 x (value table + file size). Exit 2 means the benchmark could not run.
set -euo pipefail

BENCH_NAME=load_bench
source "$(dirname "${BASH_SOURCE[0]}")/large_file.sh"
if ! "$PY" -c "import pandas" >/dev/null 2>&1; then
    die "$PY cannot import pandas; install it with: apt-get install -y python3-pandas"
fi

LOAD_BEFORE="$(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 1; i <= RUNS; i++)); do
    run_timed kavra1 env KAVRA_THREADS=1 "$KAVRA" info "$FILE"
    run_timed kavra env -u KAVRA_THREADS "$KAVRA" info "$FILE"
    run_timed pandas "$PY" -c "import pandas; pandas.read_csv('$FILE', skiprows=2)"
done
LOAD_AFTER="$(cut -d' ' -f1-3 /proc/loadavg)"

echo "kavra-batch info output:"
sed 's/^/  /' "$TMP/kavra.out" | head -n 20

FILE_BYTES=$(stat -c %s "$FILE")
# best time (lowest) and highest peak RSS of the runs
read -r K_SECS _ <<<"$(sort -n -k1,1 "$TMP/kavra.results" | head -n 1)"
read -r K1_SECS _ <<<"$(sort -n -k1,1 "$TMP/kavra1.results" | head -n 1)"
K_KB=$(sort -n -k2,2 "$TMP/kavra.results" "$TMP/kavra1.results" | tail -n 1 | awk '{print $2}')
read -r P_SECS P_KB <<<"$(sort -n -k1,1 "$TMP/pandas.results" | head -n 1)"

awk -v ks="$K_SECS" -v k1s="$K1_SECS" -v cores="$(nproc)" -v lb="$LOAD_BEFORE" -v la="$LOAD_AFTER" -v ps="$P_SECS" -v kkb="$K_KB" -v pkb="$P_KB" \
    -v fb="$FILE_BYTES" -v rows="$ROWS" -v cols="$COLS" -v runs="$RUNS" \
    -v file="$FILE" '
BEGIN {
    mib = 1048576
    table = rows * (cols + 1 + 20) * 8
    rss = kkb * 1024
    limit = 1.2 * (table + fb)
    ratio = (ps > 0) ? ks / ps : 0
    printf "file:            %s\n", file
    printf "file size:       %.1f MiB (%d bytes)\n", fb / mib, fb
    printf "rows x columns:  %d x %d\n", rows, cols
    printf "value table:     %.1f MiB (%d x (%d+1+20) x 8 bytes)\n", table / mib, rows, cols
    printf "load average:    %s before, %s after (%d cores)\n", lb, la, cores
    printf "kavra, 1 thread: %.3f s (best of %d); pandas / kavra %.1f\n", k1s, runs, (k1s > 0) ? ps / k1s : 0
    printf "kavra, all:      %.3f s (best of %d); pandas / kavra %.1f\n", ks, runs, (ks > 0) ? ps / ks : 0
    printf "pandas time:     %.3f s (best of %d)\n", ps, runs
    printf "ratio:           %.3f (kavra on all cores / pandas; limit 0.125)\n", ratio
    printf "kavra peak RSS:  %.1f MiB (highest of %d; limit %.1f MiB = 1.2 x (table + file))\n", rss / mib, runs, limit / mib
    printf "pandas peak RSS: %.1f MiB\n", pkb * 1024 / mib
    fail = 0
    if (ps <= 0 || ks > ps / 8) { print "FAIL: kavra load time is more than an eighth of the pandas time"; fail = 1 }
    if (rss > limit) { print "FAIL: kavra peak RSS exceeds 1.2 x (value table + file size)"; fail = 1 }
    if (!fail) print "PASS"
    exit fail
}'

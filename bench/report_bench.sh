#!/usr/bin/env bash
# Report benchmark: times whole `kavra-batch report FILE --top 100 -o REPORT.pdf`
# processes on a generated file of 20000 rows x 100 items: the summary page and
# 100 charts of 20000 points each, 4 to a page. Prints the median wall time
# with the range of the runs, the load average and the size of the report.
#
# Usage: bench/report_bench.sh
# Environment: KAVRA_BATCH, BENCH_RUNS (default 5); see large_file.sh.
#
# Fails (exit 1) when the median is above 5 seconds. Exit 2 means the
# benchmark could not run.
set -euo pipefail

BENCH_NAME=report_bench
BENCH_ROWS="${BENCH_ROWS:-20000}"
BENCH_COLS="${BENCH_COLS:-100}"
BENCH_RUNS="${BENCH_RUNS:-5}"
source "$(dirname "${BASH_SOURCE[0]}")/large_file.sh"

LOAD_BEFORE="$(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 1; i <= RUNS; i++)); do
    run_timed report "$KAVRA" report "$FILE" --top "$COLS" -o "$TMP/report.pdf"
done
LOAD_AFTER="$(cut -d' ' -f1-3 /proc/loadavg)"

PAGES="$(pdfinfo "$TMP/report.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
BYTES="$(stat -c %s "$TMP/report.pdf")"
sort -n -k1,1 "$TMP/report.results" | awk -v runs="$RUNS" -v rows="$ROWS" -v cols="$COLS" -v lb="$LOAD_BEFORE" \
    -v la="$LOAD_AFTER" -v pages="${PAGES:-?}" -v bytes="$BYTES" '
    { t[NR] = $1; if ($2 > kb) kb = $2 }
    END {
        median = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
        printf "report of %d items x %d rows: median %.2f s (min %.2f, max %.2f) over %d runs\n", cols, rows,
               median, t[1], t[NR], runs
        printf "  %s pages, %.1f MiB, peak RSS %.0f MiB; load average before %s, after %s\n", pages,
               bytes / 1048576, kb / 1024, lb, la
        if (median > 5) { print "FAIL: the median is above 5 s"; exit 1 }
    }'

#!/usr/bin/env bash
# Peak memory of loading a wide, short file: kavra-batch info on a file of
# WIDE_COLS value columns and WIDE_ROWS rows, on one thread and on WIDE_THREADS.
# The readers' scratch blocks must be bounded by the rows they read and a fixed
# budget of cells, not by columns x threads: the peak on many threads may exceed
# the one on one thread by no more than 8 MiB a further thread (plus 16 MiB).
#
# Usage: bench/wide_load_memory.sh
# Environment (optional):
#   KAVRA_BATCH         program to measure (default build/bin/kavra-batch)
#   KAVRA_BATCH_BEFORE  a second program, measured alternately with the first
#   WIDE_COLS           value columns (default 200000)
#   WIDE_ROWS           data rows (default 16)
#   WIDE_THREADS        threads of the second run (default 8)
#   BENCH_RUNS          rounds (default 3)
#
# Fails (exit 1) when the limit above is exceeded; exit 2: could not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KAVRA="${KAVRA_BATCH:-$ROOT/build/bin/kavra-batch}"
BEFORE="${KAVRA_BATCH_BEFORE:-}"
COLS="${WIDE_COLS:-200000}"
ROWS="${WIDE_ROWS:-16}"
THREADS="${WIDE_THREADS:-8}"
RUNS="${BENCH_RUNS:-3}"
TIME=/usr/bin/time
FILE="$ROOT/build/bench-data/wide_${ROWS}x${COLS}.csv"

[[ -x "$TIME" ]] || { echo "wide_load_memory: $TIME not found (apt-get install -y time)" >&2; exit 2; }
[[ -x "$KAVRA" ]] || { echo "wide_load_memory: $KAVRA not found (build Kavra first)" >&2; exit 2; }
if [[ ! -s "$FILE" ]]; then
    mkdir -p "$(dirname "$FILE")"
    python3 - "$FILE.tmp" "$ROWS" "$COLS" <<'PY'
import sys
path, rows, cols = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, "w", newline="") as f:
    f.write("WIDE,x\r\n06-DEC-2026\r\nSample Time," + ",".join(f"I{c}" for c in range(cols)) + "\r\n")
    for r in range(rows):
        f.write(f"10:{r % 60:02d}:00," + ",".join(str((r + c) % 10) for c in range(cols)) + "\r\n")
PY
    mv "$FILE.tmp" "$FILE"
fi
cat "$FILE" >/dev/null

# peak_kib PROGRAM THREADS: the peak resident set size of one info run, in KiB.
peak_kib() {
    local report
    report="$(mktemp)"
    env KAVRA_THREADS="$2" "$TIME" -v -o "$report" "$1" info "$FILE" >/dev/null
    awk -F': ' '/Maximum resident set size/ { print $NF }' "$report"
    rm -f "$report"
}

echo "file $FILE: $(stat -c %s "$FILE") bytes, $ROWS rows x $COLS columns; load average $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
for ((i = 1; i <= RUNS; i++)); do
    for program in "$KAVRA" ${BEFORE:+"$BEFORE"}; do
        one=$(peak_kib "$program" 1)
        many=$(peak_kib "$program" "$THREADS")
        limit=$((one + (THREADS - 1) * 8192 + 16384))
        verdict=PASS
        ((many <= limit)) || verdict=FAIL
        [[ "$program" == "$KAVRA" && "$verdict" == FAIL ]] && status=1
        printf 'round %d  %-40s  1 thread %7.1f MiB  %d threads %7.1f MiB  (limit %.1f MiB) %s\n' "$i" "$program" \
            "$(echo "$one / 1024" | bc -l)" "$THREADS" "$(echo "$many / 1024" | bc -l)" "$(echo "$limit / 1024" | bc -l)" \
            "$verdict"
    done
done
exit $status

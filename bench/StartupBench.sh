#!/usr/bin/env bash
# Start-up benchmark: times whole processes from their start to the first painted
# main window, on the offscreen platform, best of BENCH_RUNS runs each:
#   - build/bin/kavra                 (KAVRA_EXIT_AFTER_PAINT=1: it ends at its first paint)
#   - build/bin/kavra_bare_qcp        (a bare Qt program showing one QCustomPlot, the same way)
#   - build/bin/kavra FILE            (a data file named on the command line)
#   - build/bin/kavra-batch info FILE (loading the same file without a window)
#
# Usage: bench/StartupBench.sh          (from anywhere; paths are repo-relative)
# Environment overrides (optional):
#   BENCH_RUNS   runs per program, best time is kept   (default 5)
#   BENCH_FILE   data file of the second pair          (default examples/node1_day.csv)
#
# Fails (exit 1) when Kavra without a file takes more than 2.5 times the bare
# program's time. Exit 2 means the benchmark could not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${BENCH_RUNS:-5}"
FILE="${BENCH_FILE:-$ROOT/examples/node1_day.csv}"
KAVRA="$ROOT/build/bin/kavra"
BARE="$ROOT/build/bin/kavra_bare_qcp"
BATCH="$ROOT/build/bin/kavra-batch"
LIMIT=2.5

die() { echo "startup_bench: $*" >&2; exit 2; }

for program in "$KAVRA" "$BARE" "$BATCH"; do
    [[ -x "$program" ]] || die "$program not found (build first: cmake --build build)"
done
[[ -r "$FILE" ]] || die "cannot read $FILE"

export QT_QPA_PLATFORM=offscreen
export KAVRA_EXIT_AFTER_PAINT=1

# best_ms COMMAND...: the best wall time of RUNS runs, in milliseconds (3 decimals).
best_ms() {
    local best="" start end ms
    for ((i = 0; i < RUNS; i++)); do
        start=$(date +%s%N)
        if ! "$@" >/dev/null 2>&1; then
            die "failed: $*"
        fi
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000 ))
        if [[ -z "$best" || "$ms" -lt "$best" ]]; then best=$ms; fi
    done
    awk -v us="$best" 'BEGIN { printf "%.1f", us / 1000 }'
}

# Warm the page cache and the font cache once.
"$BARE" >/dev/null 2>&1 || die "$BARE failed"
"$KAVRA" "$FILE" >/dev/null 2>&1 || die "$KAVRA $FILE failed"

bare=$(best_ms "$BARE")
kavra=$(best_ms "$KAVRA")
kavra_file=$(best_ms "$KAVRA" "$FILE")
batch=$(best_ms "$BATCH" info "$FILE")

ratio=$(awk -v k="$kavra" -v b="$bare" 'BEGIN { printf "%.2f", k / b }')
extra=$(awk -v f="$kavra_file" -v k="$kavra" 'BEGIN { printf "%.1f", f - k }')
echo "Start-up to first paint, best of $RUNS (offscreen platform, whole processes):"
printf '  %-40s %8s ms\n' "bare QCustomPlot program" "$bare"
printf '  %-40s %8s ms   (%s x bare, limit %s x)\n' "kavra, no file" "$kavra" "$ratio" "$LIMIT"
printf '  %-40s %8s ms\n' "kavra $(basename "$FILE")" "$kavra_file"
printf '  %-40s %8s ms\n' "  extra for the file" "$extra"
printf '  %-40s %8s ms\n' "kavra-batch info $(basename "$FILE")" "$batch"
echo "In-process figures of one more run (time from main to the first paint):"
"$BARE" 2>/dev/null | sed 's/^/  /'
"$KAVRA" 2>/dev/null | sed 's/^/  /'
"$KAVRA" "$FILE" 2>/dev/null | sed 's/^/  /'

if awk -v r="$ratio" -v l="$LIMIT" 'BEGIN { exit !(r > l) }'; then
    echo "FAIL: kavra takes $ratio x the bare program's start-up (limit $LIMIT x)"
    exit 1
fi
echo "PASS"

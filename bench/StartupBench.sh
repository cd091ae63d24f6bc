#!/usr/bin/env bash
# Start-up benchmark: times whole processes from their start to their end, on the
# offscreen platform, the programs taking turns (A, B, C, ... A, B, C, ...) so
# that a busy machine slows them all alike; medians with min-max:
#   - build/bin/kavra_bare_qcp        (a bare Qt program showing one QCustomPlot; it ends at its first paint)
#   - build/bin/kavra                 (KAVRA_EXIT_AFTER_PAINT=1: it ends at its first paint)
#   - build/bin/kavra FILE            (a data file named on the command line)
#   - build/bin/kavra-batch info FILE (loading the same file without a window)
#   - build/bin/kavra-batch info on a file of two rows (what a script pays to start it)
#
# Usage: bench/StartupBench.sh          (from anywhere; paths are repo-relative)
# Environment overrides (optional):
#   BENCH_RUNS   runs per program                      (default 15)
#   BENCH_FILE   data file of the file runs            (default examples/node1_day.csv)
#
# Fails (exit 1) when the median of Kavra without a file is more than 1.3 times
# the bare program's, or kavra-batch info on two rows takes more than 20 ms.
# Exit 2 means the benchmark could not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${BENCH_RUNS:-15}"
FILE="${BENCH_FILE:-$ROOT/examples/node1_day.csv}"
KAVRA="$ROOT/build/bin/kavra"
BARE="$ROOT/build/bin/kavra_bare_qcp"
BATCH="$ROOT/build/bin/kavra-batch"
RATIO_LIMIT=1.3
BATCH_LIMIT_MS=20

die() { echo "startup_bench: $*" >&2; exit 2; }

for program in "$KAVRA" "$BARE" "$BATCH"; do
    [[ -x "$program" ]] || die "$program not found (build first: cmake --build build)"
done
[[ -r "$FILE" ]] || die "cannot read $FILE"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
# The first file's header records and two data rows.
head -n 5 "$ROOT/examples/node1_day.csv" > "$WORK/two_rows.csv"

export QT_QPA_PLATFORM=offscreen
export KAVRA_EXIT_AFTER_PAINT=1

names=(bare kavra kavra_file batch_file batch_two)
commands=(
    "$BARE"
    "$KAVRA"
    "$KAVRA $FILE"
    "$BATCH info $FILE"
    "$BATCH info $WORK/two_rows.csv"
)

# Warm the page cache and the font cache once.
for command in "${commands[@]}"; do
    $command >/dev/null 2>&1 || die "failed: $command"
done

# One wall time of the command, in microseconds, appended to its file.
time_once() {
    local file=$1 start end
    shift
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || die "failed: $*"
    end=$(date +%s%N)
    echo $(( (end - start) / 1000 )) >> "$file"
}

for ((run = 0; run < RUNS; run++)); do
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086  # the commands are split into their words on purpose
        time_once "$WORK/${names[i]}" ${commands[i]}
    done
done

# "median (min-max)" of a file of microseconds, in milliseconds; MEDIAN_MS gets the median.
summary() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f %.1f\n", m / 1000, v[1] / 1000, v[NR] / 1000 }'
}
declare -A median low high
for name in "${names[@]}"; do
    read -r median[$name] low[$name] high[$name] < <(summary "$WORK/$name")
done

libraries() { ldd "$1" | wc -l; }
ratio=$(awk -v k="${median[kavra]}" -v b="${median[bare]}" 'BEGIN { printf "%.2f", k / b }')
row() { printf '  %-40s %7s ms  (%s-%s)%s\n' "$1" "${median[$2]}" "${low[$2]}" "${high[$2]}" "${3:-}"; }
echo "Start-up, whole processes, median (min-max) of $RUNS interleaved runs (offscreen platform):"
row "bare QCustomPlot program" bare "   $(libraries "$BARE") shared libraries"
row "kavra, no file" kavra "   $(libraries "$KAVRA") shared libraries; $ratio x bare (limit $RATIO_LIMIT x)"
row "kavra $(basename "$FILE")" kavra_file
row "kavra-batch info $(basename "$FILE")" batch_file "   $(libraries "$BATCH") shared libraries"
row "kavra-batch info, two rows" batch_two "   (limit $BATCH_LIMIT_MS ms)"
echo "In-process figures of one more run (time from main to the first paint):"
"$BARE" 2>/dev/null | sed 's/^/  /'
"$KAVRA" 2>/dev/null | sed 's/^/  /'
"$KAVRA" "$FILE" 2>/dev/null | sed 's/^/  /'
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"

status=0
if awk -v r="$ratio" -v l="$RATIO_LIMIT" 'BEGIN { exit !(r > l) }'; then
    echo "FAIL: kavra takes $ratio x the bare program's start-up (limit $RATIO_LIMIT x)"
    status=1
fi
if awk -v t="${median[batch_two]}" -v l="$BATCH_LIMIT_MS" 'BEGIN { exit !(t > l) }'; then
    echo "FAIL: kavra-batch info on two rows takes ${median[batch_two]} ms (limit $BATCH_LIMIT_MS ms)"
    status=1
fi
[[ $status -eq 0 ]] && echo "PASS"
exit $status

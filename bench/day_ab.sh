#!/usr/bin/env bash
# The day case, two builds side by side: `kavra-batch info FILE` of build A and
# of build B run alternately (A, B, A, B ...), so both meet the same load on a
# shared machine. Prints, per build, the median and range of the wall time (perf
# stat duration_time, to the microsecond), of the processor time (task-clock,
# every thread) and the peak RSS.
#
# Usage: bench/day_ab.sh A_KAVRA_BATCH B_KAVRA_BATCH FILE [RUNS]   (RUNS default 7)
# Environment: KAVRA_THREADS is passed on as it is (unset: every core).
set -euo pipefail

die() { echo "day_ab: $*" >&2; exit 2; }
[[ $# -ge 3 ]] || die "usage: $0 A_KAVRA_BATCH B_KAVRA_BATCH FILE [RUNS]"
A="$1" B="$2" FILE="$3" RUNS="${4:-7}"
for p in "$A" "$B"; do [[ -x "$p" ]] || die "$p is not a program"; done
[[ -s "$FILE" ]] || die "$FILE is missing or empty"
command -v perf >/dev/null || die "perf not found (apt-get install -y linux-perf)"
TIME=/usr/bin/time
[[ -x "$TIME" ]] || die "$TIME not found (apt-get install -y time)"

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
cat "$FILE" >/dev/null  # from the page cache on every run

# one NAME PROGRAM: appends "wall_s task_ms rss_kib" to $TMP/NAME
one() {
    "$TIME" -f '%M' -o "$TMP/time" perf stat -x, -e task-clock,duration_time -o "$TMP/perf" "$2" info "$FILE" >/dev/null
    local ms wall
    ms=$(awk -F, '/task-clock/ { print $1 }' "$TMP/perf")
    wall=$(awk -F, '/duration_time/ { print $1 / 1e9 }' "$TMP/perf")
    echo "$wall $ms $(cat "$TMP/time")" >>"$TMP/$1"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
one A "$A"  # warm-up of both, not counted
one B "$B"
rm -f "$TMP/A" "$TMP/B"
for ((i = 0; i < RUNS; i++)); do
    one A "$A"
    one B "$B"
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"

# stats NAME COLUMN: median (min-max)
stats() {
    sort -n -k"$2,$2" "$TMP/$1" | awk -v c="$2" '{ v[NR] = $c } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.3f (%.3f-%.3f)", m, v[1], v[NR] }'
}
for n in A B; do
    printf '%s: wall %s s, task-clock %s ms, peak RSS %s KiB\n' "$n" "$(stats $n 1)" "$(stats $n 2)" "$(stats $n 3)"
done
awk 'FNR == 1 { f++ } { w[f, FNR] = $1; t[f, FNR] = $2; n[f] = FNR }
function med(a, f, k,   i, j, x, v, m) {
    m = n[f]; for (i = 1; i <= m; i++) v[i] = a[f, i]
    for (i = 2; i <= m; i++) { x = v[i]; for (j = i - 1; j >= 1 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
    return (m % 2) ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2 }
END { printf "B / A: wall %.2f, task-clock %.2f\n", med(w, 2) / med(w, 1), med(t, 2) / med(t, 1) }' "$TMP/A" "$TMP/B"

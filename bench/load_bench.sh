#!/usr/bin/env bash
# Load benchmark: times a whole `kavra-batch info FILE` process against
# pandas.read_csv on the same large file, and checks Kavra's peak memory. Kavra
# runs twice each round: with KAVRA_THREADS=1 (the data records read on one
# thread) and with every core (the default), so the gain per core shows.
#
# Usage: bench/load_bench.sh            (from anywhere; paths are repo-relative)
# Environment overrides (optional):
#   KAVRA_BATCH   program to time instead of build/bin/kavra-batch
#   BENCH_ROWS    data rows of the generated file      (default 20000)
#   BENCH_COLS    value columns of the generated file  (default 500)
#   BENCH_RUNS    runs per program, best time is kept  (default 3)
#
# Fails (exit 1) when the best all-core Kavra time is more than an eighth of the
# best pandas time, or when Kavra's peak resident set size exceeds
# 1.2 x (value table + file size). Exit 2 means the benchmark could not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ROWS="${BENCH_ROWS:-20000}"
COLS="${BENCH_COLS:-500}"
RUNS="${BENCH_RUNS:-3}"
KAVRA="${KAVRA_BATCH:-$ROOT/build/bin/kavra-batch}"
PY=/usr/bin/python3
TIME=/usr/bin/time
DATA_DIR="$ROOT/build/bench-data"
FILE="$DATA_DIR/load_${ROWS}x${COLS}.csv"

die() { echo "load_bench: $*" >&2; exit 2; }

[[ -x "$TIME" ]] || die "$TIME not found (install it: apt-get install -y time)"
[[ -x "$KAVRA" ]] || die "$KAVRA not found or not executable (build Kavra first: cmake --build build)"
[[ -x "$PY" ]] || die "$PY not found"
if ! "$PY" -c "import pandas" >/dev/null 2>&1; then
    die "$PY cannot import pandas; install it with: apt-get install -y python3-pandas"
fi

if [[ ! -s "$FILE" ]]; then
    echo "Generating $FILE ($ROWS rows x $COLS columns) ..."
    mkdir -p "$DATA_DIR"
    "$PY" "$ROOT/tools/make_examples.py" --large "$ROWS" "$COLS" "$FILE.tmp"
    mv "$FILE.tmp" "$FILE"
fi

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# Bring the file into the page cache so that both programs read it from memory.
cat "$FILE" >/dev/null

# run_timed NAME CMD... : runs CMD under /usr/bin/time -v and appends
# "seconds kbytes" to $TMP/NAME.results.
run_timed() {
    local name="$1"; shift
    local rep="$TMP/$name.time"
    if ! "$TIME" -v -o "$rep" "$@" >"$TMP/$name.out" 2>"$TMP/$name.err"; then
        echo "load_bench: '$*' failed:" >&2
        tail -n 20 "$TMP/$name.err" >&2
        grep -E 'Command (exited|terminated)|Exit status' "$rep" >&2 || true
        exit 2
    fi
    awk -F': ' '
        /Elapsed \(wall clock\) time/ {
            n = split($NF, p, ":")
            secs = (n == 3) ? p[1] * 3600 + p[2] * 60 + p[3] : p[1] * 60 + p[2]
        }
        /Maximum resident set size/ { kb = $NF }
        END { printf "%.3f %d\n", secs, kb }
    ' "$rep" >>"$TMP/$name.results"
}

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

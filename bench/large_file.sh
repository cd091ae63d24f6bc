# Shared by the benchmarks that time whole kavra-batch processes on the large
# generated file: the settings, the file (made once, kept in build/bench-data,
# read into the page cache) and a timed run. Source it after setting BENCH_NAME.
#
# Environment overrides (optional):
#   KAVRA_BATCH   program to time instead of build/bin/kavra-batch
#   BENCH_ROWS    data rows of the generated file      (default 20000)
#   BENCH_COLS    value columns of the generated file  (default 500)
#   BENCH_RUNS    runs per program, best time is kept  (default 3)

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ROWS="${BENCH_ROWS:-20000}"
COLS="${BENCH_COLS:-500}"
RUNS="${BENCH_RUNS:-3}"
KAVRA="${KAVRA_BATCH:-$ROOT/build/bin/kavra-batch}"
PY=/usr/bin/python3
TIME=/usr/bin/time
DATA_DIR="$ROOT/build/bench-data"
FILE="$DATA_DIR/load_${ROWS}x${COLS}.csv"

die() { echo "$BENCH_NAME: $*" >&2; exit 2; }

[[ -x "$TIME" ]] || die "$TIME not found (install it: apt-get install -y time)"
[[ -x "$KAVRA" ]] || die "$KAVRA not found or not executable (build Kavra first: cmake --build build)"
[[ -x "$PY" ]] || die "$PY not found"

if [[ ! -s "$FILE" ]]; then
    echo "Generating $FILE ($ROWS rows x $COLS columns) ..."
    mkdir -p "$DATA_DIR"
    "$PY" "$ROOT/tools/make_examples.py" --large "$ROWS" "$COLS" "$FILE.tmp"
    mv "$FILE.tmp" "$FILE"
fi

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# Bring the file into the page cache so that every run reads it from memory.
cat "$FILE" >/dev/null

# run_timed NAME CMD... : runs CMD under /usr/bin/time -v, keeps its output in
# $TMP/NAME.out and appends "seconds kbytes" to $TMP/NAME.results.
run_timed() {
    local name="$1"; shift
    local rep="$TMP/$name.time"
    if ! "$TIME" -v -o "$rep" "$@" >"$TMP/$name.out" 2>"$TMP/$name.err"; then
        echo "$BENCH_NAME: '$*' failed:" >&2
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

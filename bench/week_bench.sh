#!/usr/bin/env bash
# Week benchmark: memory and load time of a week of one-second samples.
#
# Generates (once; kept for later runs) files of ROWS x ITEMS in the collector's
# plain layout with CR LF, with build/bin/kavra_week_gen (a realistic mix:
# about a fifth of the items zero or constant, integer counters, percentages
# with one decimal, rates with two decimals), and runs `kavra-batch info` on
# them under GNU time: peak resident memory, bytes of memory per value, and the
# load time (median and range of the runs).
#
# Usage: bench/week_bench.sh [--rows N] [--items N] [--seed S] [--sixteen] [--runs N]
#   --rows     data rows of each file   (default 604800: a week at 1 s; 120960 is a week at 5 s)
#   --items    value columns            (default 500)
#   --seed     seed of the file         (default 1)
#   --sixteen  sixteen files, seeds S to S+15, loaded together
#   --runs     runs of kavra-batch info (default 3)
# Environment: KAVRA_BATCH (default build/bin/kavra-batch), KAVRA_WEEK_GEN
# (default build/bin/kavra_week_gen), KAVRA_WEEK_DATA (where the files are kept,
# default ${TMPDIR:-/tmp}/kavra-week-bench).
#
# Target (of the compressed table): peak RSS of `kavra-batch info` on one file at
# most 32 MiB + 1.0 byte a value + 64 MiB. The script prints the target and how
# far the run is from it; it exits 2 only when it cannot run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KAVRA="${KAVRA_BATCH:-$ROOT/build/bin/kavra-batch}"
GEN="${KAVRA_WEEK_GEN:-$ROOT/build/bin/kavra_week_gen}"
DATA_DIR="${KAVRA_WEEK_DATA:-${TMPDIR:-/tmp}/kavra-week-bench}"
TIME=/usr/bin/time
ROWS=604800 ITEMS=500 SEED=1 FILES=1 RUNS=3

die() { echo "week_bench: $*" >&2; exit 2; }

while [[ $# -gt 0 ]]; do
    case "$1" in
        --rows) ROWS="${2:?}"; shift 2 ;;
        --items) ITEMS="${2:?}"; shift 2 ;;
        --seed) SEED="${2:?}"; shift 2 ;;
        --sixteen) FILES=16; shift ;;
        --runs) RUNS="${2:?}"; shift 2 ;;
        *) die "unknown argument $1 (see the head of $0)" ;;
    esac
done
[[ -x "$TIME" ]] || die "$TIME not found (install it: apt-get install -y time)"
[[ -x "$KAVRA" ]] || die "$KAVRA not found (build it: cmake --build build --target kavra-batch)"
[[ -x "$GEN" ]] || die "$GEN not found (build it: cmake --build build --target kavra_week_gen)"

# --- the files, made once ------------------------------------------------------
mkdir -p "$DATA_DIR"
PATHS=()
for ((f = 0; f < FILES; f++)); do
    seed=$((SEED + f))
    file="$DATA_DIR/week_${ROWS}x${ITEMS}_seed${seed}.csv"
    if [[ ! -s "$file" ]]; then
        echo "Generating $file ..."
        start=$(date +%s.%N)
        "$GEN" --rows "$ROWS" --items "$ITEMS" --seed "$seed" "$file.tmp" || die "the generator failed"
        mv "$file.tmp" "$file"
        awk -v b="$(stat -c %s "$file")" -v s="$start" -v e="$(date +%s.%N)" \
            'BEGIN { printf "  %d bytes in %.1f s\n", b, e - s }'
    fi
    PATHS+=("$file")
done

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# run_timed NAME CMD... : CMD under GNU time; appends "seconds kbytes" to $TMP/NAME.results.
run_timed() {
    local name="$1"; shift
    local rep="$TMP/$name.time"
    if ! "$TIME" -v -o "$rep" "$@" >"$TMP/$name.out" 2>"$TMP/$name.err"; then
        echo "week_bench: '$*' failed:" >&2
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

# summary NAME LABEL : the runs' median and range of time, highest peak RSS.
summary() {
    sort -n -k1,1 "$TMP/$1.results" | awk -v label="$2" -v values="$VALUES" -v files="$FILES" \
        -v rows="$ROWS" -v items="$ITEMS" '
        { t[NR] = $1; if ($2 > kb) kb = $2 }
        END {
            mib = 1048576
            rss = kb * 1024
            median = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "%s: load %.2f s (median of %d, %.2f-%.2f s); peak RSS %.1f MiB = %.2f bytes a value\n",
                label, median, NR, t[1], t[NR], rss / mib, rss / values
            target = 32 * mib + values + 64 * mib
            if (files == 1)
                printf "  target (compressed table): %.1f MiB; this run is %.2f x that\n", target / mib, rss / target
        }'
}

# --- kavra-batch info ------------------------------------------------------------
VALUES=$((ROWS * ITEMS * FILES))
TEXT_BYTES=$(cat "${PATHS[@]}" | wc -c)
cat "${PATHS[@]}" >/dev/null  # into the page cache
LOAD_BEFORE="$(cut -d' ' -f1-3 /proc/loadavg)"
for ((i = 1; i <= RUNS; i++)); do
    run_timed info "$KAVRA" info "${PATHS[@]}"
done
LOAD_AFTER="$(cut -d' ' -f1-3 /proc/loadavg)"

echo "files:          $FILES x $ROWS rows x $ITEMS items ($VALUES values; $(awk -v b="$TEXT_BYTES" -v v="$VALUES" \
    'BEGIN { printf "%.0f MiB of text, %.2f bytes a value", b / 1048576, b / v }'))"
echo "commit:         $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown), $(date -u +%Y-%m-%d)"
echo "load average:   $LOAD_BEFORE before, $LOAD_AFTER after ($(nproc) cores)"
summary info "kavra-batch info"

# --- the viewer and the median sort ----------------------------------------------
# kavra_week_view_bench opens the files in a real main window (offscreen), charts
# 16 items, sorts the list in median order and charts 16 again, printing each
# step's time and the peak RSS after it; GNU time gives the whole run's peak.
VIEW="${KAVRA_WEEK_VIEW:-$ROOT/build/bin/kavra_week_view_bench}"
viewer_bench() {
    if [[ ! -x "$VIEW" ]]; then
        echo "viewer: $VIEW not found (build it: cmake --build build --target kavra_week_view_bench)"
        return
    fi
    for ((i = 1; i <= RUNS; i++)); do
        run_timed view "$VIEW" "${PATHS[@]}"
        sed "s/^/  run $i: /" "$TMP/view.out"
    done
    sort -n -k2,2 "$TMP/view.results" | tail -n 1 | awk -v values="$VALUES" '{
        printf "viewer (open, chart 16 items, median sort, chart 16): peak RSS %.1f MiB = %.2f bytes a value\n",
            $2 / 1024, $2 * 1024 / values }'
}
viewer_bench

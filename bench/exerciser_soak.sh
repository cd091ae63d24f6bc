#!/usr/bin/env bash
# The exerciser's long run: kavra_exerciser from the sanitizer build, run again
# and again with seeds BASE, BASE+1, ... until SECONDS (default 1800) have
# passed. A run that fails is logged whole and the next seed starts.
# Usage: bench/exerciser_soak.sh [SECONDS] [BASE_SEED] [LOG]
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
total="${1:-1800}"
seed="${2:-1000}"
log="${3:-build-asan/exerciser_soak.log}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$(pwd)/tools/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
: > "$log"
end=$(( $(date +%s) + total ))
runs=0; failures=0
while [ "$(date +%s)" -lt "$end" ]; do
    left=$(( end - $(date +%s) ))
    [ "$left" -lt 5 ] && break
    out=$("${EXERCISER:-build-asan/bin/kavra_exerciser}" --seed "$seed" --seconds "$left" 2>&1); rc=$?
    runs=$((runs + 1))
    echo "=== seed $seed exit $rc" >> "$log"
    echo "$out" | tail -70 >> "$log"
    [ "$rc" -ne 0 ] && failures=$((failures + 1))
    seed=$((seed + 1))
done
echo "=== runs $runs, failed $failures" >> "$log"

#!/usr/bin/env bash
# The exerciser's long run: kavra_exerciser from the sanitizer build, run again
# and again with seeds BASE, BASE+1, ... until SECONDS (default 1800) have
# passed. A run that fails is logged whole and the next seed starts. At the end
# the log and standard output get the runs, the steps in all, each run's memory
# line and every fault (seed, step, what failed). EXERCISER_ARGS adds options
# (for example --classic).
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
runs=0; failures=0; steps=0; memory=(); faults=()
while [ "$(date +%s)" -lt "$end" ]; do
    left=$(( end - $(date +%s) ))
    [ "$left" -lt 5 ] && break
    # shellcheck disable=SC2086
    out=$("${EXERCISER:-build-asan/bin/kavra_exerciser}" ${EXERCISER_ARGS:-} --seed "$seed" --seconds "$left" 2>&1); rc=$?
    runs=$((runs + 1))
    echo "=== seed $seed exit $rc" >> "$log"
    echo "$out" | tail -70 >> "$log"
    done_steps=$(echo "$out" | sed -n 's/^kavra_exerciser: \([0-9]*\) steps in .*/\1/p; s/.* at step \([0-9]*\) of seed .*/\1/p' | head -1)
    steps=$((steps + ${done_steps:-0}))
    memory+=("seed $seed: $(echo "$out" | grep '^memory:' || echo 'memory: (run failed)')")
    if [ "$rc" -ne 0 ]; then
        failures=$((failures + 1))
        faults+=("seed $seed: $(echo "$out" | grep -m1 '^kavra_exerciser: .* at step ' || echo "exit $rc")")
    fi
    seed=$((seed + 1))
done
{
    echo "=== runs $runs, failed $failures, steps $steps"
    printf '%s\n' "${memory[@]}"
    [ "${#faults[@]}" -gt 0 ] && printf 'fault: %s\n' "${faults[@]}"
} | tee -a "$log"

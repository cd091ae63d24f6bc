#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang-14, -DKAVRA_FUZZ=ON, core
# only) and runs each of them for a third of SECONDS (default 60), one after the
# other, with the seed corpus of tests/fuzz/corpus/ (and the format's dictionary
# for the two that read text).
# The corpus is copied to a scratch folder first, so the repository stays as it
# was. Exits non-zero when a target crashes (a sanitizer report, a disagreement
# with a reference, a timeout of 10 s or more than 4096 MB); the input that did
# it is kept in build-fuzz/artifacts/ and the log in build-fuzz/logs/.
#
#   bash tools/fuzz.sh [SECONDS]
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 3 ]; then
    echo "usage: tools/fuzz.sh [SECONDS]   (at least 3)" >&2
    exit 2
fi
per_target=$((seconds / 3))
jobs="${KAVRA_JOBS:-2}"

bash tools/setup.sh

echo "=== build-fuzz/: configure and build (libFuzzer, address and undefined behaviour sanitizers)"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DKAVRA_FUZZ=ON \
    -DKAVRA_BUILD_GUI=OFF -DKAVRA_BUILD_TESTS=OFF -DKAVRA_BUILD_BENCH=OFF
cmake --build build-fuzz -j "$jobs" --target kavra_loader_fuzz kavra_value_fuzz kavra_codec_fuzz

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p build-fuzz/artifacts build-fuzz/logs

status=0
for target in loader:kavra_loader_fuzz values:kavra_value_fuzz codec:kavra_codec_fuzz; do
    corpus="${target%%:*}"
    program="${target#*:}"
    dict=(-dict=tests/fuzz/loader.dict)
    [ "$corpus" = codec ] && dict=()
    cp -r "tests/fuzz/corpus/$corpus" "$scratch/$corpus"
    log="build-fuzz/logs/$program.log"
    echo "=== fuzz: $program for ${per_target} s (log: $log)"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "build-fuzz/bin/$program" \
        -max_total_time="$per_target" "${dict[@]}" \
        -rss_limit_mb=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/$program-" \
        "$scratch/$corpus" >"$log" 2>&1; then
        grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    else
        status=1
        echo "fuzz: $program crashed; the end of its log:" >&2
        tail -n 60 "$log" >&2
        echo "fuzz: the input is in build-fuzz/artifacts/ (run build-fuzz/bin/$program FILE to reproduce)" >&2
    fi
done

if [ "$status" -ne 0 ]; then
    echo "fuzz: a target crashed" >&2
fi
exit "$status"

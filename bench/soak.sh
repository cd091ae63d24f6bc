#!/usr/bin/env bash
# Soak benchmark: 16 files of 100000 rows x 500 items loaded together in a main
# window, then the everyday commands in a loop for SOAK_MINUTES (default 10);
# checks that memory stays within 1.3 x the value table and does not grow from
# loop to loop. See bench/README.md, "Soak".
#
#   bash bench/soak.sh                 # build/bin/kavra_soak_bench, 10 minutes
#   SOAK_MINUTES=1 bash bench/soak.sh  # a shorter run
#   SOAK_BENCH=build-asan/bin/kavra_soak_bench SOAK_LOOPS=2 bash bench/soak.sh
#
# Environment: SOAK_BENCH (the program, default build/bin/kavra_soak_bench),
# SOAK_MINUTES, SOAK_LOOPS (stop after that many loops instead), SOAK_ROWS and
# SOAK_COLS (default 100000 and 500), SOAK_DATA (the folder of the files, default
# build/bench-data/soak_ROWSxCOLS). Exit 0 PASS, 1 FAIL, 2 cannot run.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

bench="${SOAK_BENCH:-build/bin/kavra_soak_bench}"
minutes="${SOAK_MINUTES:-10}"
loops="${SOAK_LOOPS:-0}"
rows="${SOAK_ROWS:-100000}"
cols="${SOAK_COLS:-500}"
data="${SOAK_DATA:-build/bench-data/soak_${rows}x${cols}}"

if [ ! -x "$bench" ]; then
    echo "soak: $bench is missing (cmake --build build --target kavra_soak_bench)" >&2
    exit 2
fi

# One generated file, copied 15 times with another node name in record 1.
mkdir -p "$data"
first="$data/node01.csv"
if [ ! -s "$first" ]; then
    python3 tools/make_examples.py --large "$rows" "$cols" "$first.tmp"
    mv "$first.tmp" "$first"
fi
files=("$first")
for n in $(seq -w 2 16); do
    file="$data/node$n.csv"
    if [ ! -s "$file" ]; then
        sed "1s/^BENCH,/NODE$n,/" "$first" > "$file.tmp"
        mv "$file.tmp" "$file"
    fi
    files+=("$file")
done

exec "$bench" --minutes "$minutes" --loops "$loops" "${files[@]}"

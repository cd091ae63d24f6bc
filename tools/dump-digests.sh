#!/usr/bin/env bash
# Prints, for every data file of the repository (examples/, the fuzz corpora,
# tests/app/) and for a few generated files of awkward values, what kavra-batch
# makes of it: the SHA-256 of the standard output and error of `dump` and `info`
# and their exit status, one line per command.
#
#   tools/dump-digests.sh KAVRA_BATCH > digests.txt       # one build's digests
#   tools/dump-digests.sh KAVRA_BATCH --check DIGESTS     # exit 1 when a line differs
#
# Two builds that print the same digests write every value back the same, byte
# for byte: tests/app/dump-digests.txt holds those of the build before the value
# table was held compressed, and the dump_digests test checks against them.
set -euo pipefail

batch=$(realpath "$1")
shift
check=""
if [[ "${1:-}" == "--check" ]]; then
    check=$(realpath "$2")
fi
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Awkward values, each shape in its own column over 20000 rows (so across blocks
# and chunks): plain decimals, K / M / % suffixes, exponents, blanks, 1e+-300,
# -0, subnormals, huge jumps, constants, a column that changes once.
mkdir -p "$work/shapes"
awk -v crlf=1 'BEGIN {
    eol = "\r\n"
    printf "SHAPES,generated,Interval 1s%s06-DEC-2026,00:00:00,shapes%s", eol, eol
    printf "Sample Time,Plain,Rate K,Rate M,Percent,Exponent,Blank,Huge,Tiny,Minus Zero,Subnormal,Jumps,Constant,Step,Neg%s", eol
    x = 1
    for (r = 0; r < 20000; ++r) {
        x = (x * 1103515245 + 12345) % 2147483648
        h = int(r / 3600); m = int(r / 60) % 60; s = r % 60
        t = sprintf("%02d:%02d:%02d", h, m, s)
        if (r == 0) t = "06-DEC-2026 " t
        plain = sprintf("%.1f", (x % 10000) / 10)
        k = sprintf("%.1fK", (x % 5000) / 10)
        mm = sprintf("%.2fM", (x % 900) / 100)
        pc = sprintf("%.1f%%", (x % 1000) / 10)
        ex = sprintf("%.3E", (x % 100000) * 1.5)
        bl = (r % 7 == 0) ? "" : sprintf("%d", x % 100)
        hu = (r % 2) ? "1e300" : "-2.5e+300"
        ti = (r % 3) ? "1e-300" : "3.7E-299"
        mz = (r % 5) ? "-0" : "0"
        sn = (r % 4) ? "4.9e-324" : "2.2250738585072014e-308"
        ju = (r % 1000 == 999) ? "123456789012345" : sprintf("%d", x % 3)
        st = (r < 15000) ? "0" : "17.25"
        ng = sprintf("-%.2f", (x % 100000) / 100)
        printf "%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,42.5,%s,%s%s", t, plain, k, mm, pc, ex, bl, hu, ti, mz, sn, ju, st, ng, eol
    }
}' > "$work/shapes/shapes_crlf.csv"
# The same values under a block of headers, LF-terminated.
{
    head -n 2 "$work/shapes/shapes_crlf.csv" | tr -d '\r'
    printf '$$$ START COLUMN HEADERS $$$\n'
    sed -n 3p "$work/shapes/shapes_crlf.csv" | tr -d '\r' | tr ',' '\n'
    printf '$$$ END COLUMN HEADERS $$$\n'
    tail -n +4 "$work/shapes/shapes_crlf.csv" | tr -d '\r'
} > "$work/shapes/shapes_block.csv"

cd "$root"
files=(examples/* tests/fuzz/corpus/*/* $(ls tests/app/*.txt | grep -v dump-digests.txt))
digest() { sha256sum | cut -c1-16; }
run() {
    local label=$1
    shift
    local rc=0
    (cd "$work" && "$batch" "$@" > out 2> err) || rc=$?
    # Paths are written relative to the checkout, wherever it is.
    printf '%s rc=%s out=%s err=%s\n' "$label" "$rc" "$(sed "s|$work/||g; s|$root/||g" "$work/out" | digest)" \
        "$(sed "s|$work/||g; s|$root/||g" "$work/err" | digest)"
}
{
    for f in "${files[@]}"; do
        run "dump $f" dump "$root/$f"
        run "info $f" info "$root/$f"
    done
    for f in shapes/shapes_crlf.csv shapes/shapes_block.csv; do
        run "dump $f" dump "$f"
        run "info $f" info "$f"
        for threads in 1 2 3; do
            KAVRA_THREADS=$threads run "dump $f threads=$threads" dump "$f"
        done
    done
    run "dump two examples, file 2" dump --file 2 "$root/examples/node1_day.csv" "$root/examples/node2_day.csv"
    run "dump shapes and node1, file 2" dump --file 2 shapes/shapes_crlf.csv "$root/examples/node1_day.csv"
    run "dump shapes twice, tail" dump --file 2 --tail-from 1000 shapes/shapes_crlf.csv shapes/shapes_block.csv
} > "$work/digests.txt"

if [[ -z "$check" ]]; then
    cat "$work/digests.txt"
else
    # Every expected line must come out again; files added since have no line yet.
    if missing=$(grep -Fxv -f "$work/digests.txt" "$check"); then
        printf 'expected: %s\n' "$missing" >&2
        grep -F -f <(printf '%s\n' "$missing" | sed 's/ rc=.*//') "$work/digests.txt" | sed 's/^/got:      /' >&2
        echo "dump-digests: kavra-batch writes something else for the files above" >&2
        exit 1
    fi
    echo "dump-digests: $(wc -l < "$check") outputs as expected"
fi

#!/usr/bin/env bash
# Screenshot tour: runs the viewer (build/bin/kavra_tour, the real main window
# with the real dialogs) in a virtual X display on the examples, opens every
# window, menu, dialog and chart option in turn and writes one picture each,
# NN-scene-name.png, into OUTDIR (default build/tour). Then checks that every
# picture the tour planned (OUTDIR/scenes.txt) is there and not blank.
# Look at the pictures: that is what they are for.
#
# Usage: tools/screenshot-tour.sh [OUTDIR]     (build first: cmake --build build --target kavra_tour)
# Environment: KAVRA_TOUR overrides build/bin/kavra_tour.
# Needs xvfb (xvfb-run), xauth and imagemagick (tools/setup.sh); without them
# it prints "SKIPPED: " and the reason.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="${1:-$ROOT/build/tour}"
TOUR="${KAVRA_TOUR:-$ROOT/build/bin/kavra_tour}"

for tool in xvfb-run xauth identify timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is missing (run tools/setup.sh)"
        exit 0
    fi
done
if [[ ! -x "$TOUR" ]]; then
    echo "FAIL screenshot-tour: $TOUR not found (build the kavra_tour target first)"
    exit 1
fi

mkdir -p "$OUT"
rm -f "$OUT"/*.png "$OUT/scenes.txt"
# A display of its own, whatever the caller has; the offscreen platform of the
# test runs must not leak in. The tour stops itself when a scene hangs; the
# timeout is the last resort. Under the sanitizers the tour checks pictures, not
# leaks (the test binaries do that); the X and font libraries keep what they allocate.
env -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    timeout -k 10 300 xvfb-run -a -s "-screen 0 1600x1000x24" "$TOUR" "$OUT" "$ROOT/examples" 2>"$OUT/tour.log"
status=$?
cat "$OUT/tour.log"

failures=0
if [[ ! -s "$OUT/scenes.txt" ]]; then
    echo "FAIL screenshot-tour: the tour wrote no plan (exit status $status)"
    exit 1
fi
while read -r picture; do
    if [[ ! -s "$OUT/$picture" ]]; then
        echo "FAIL screenshot-tour: $picture is missing"
        failures=$((failures + 1))
        continue
    fi
    # A picture of a few flat colours shows nothing: no text, no chart.
    colours=$(identify -format %k "$OUT/$picture" 2>/dev/null || echo 0)
    if [[ "$colours" -le 16 ]]; then
        echo "FAIL screenshot-tour: $picture is blank ($colours colours)"
        failures=$((failures + 1))
    fi
done <"$OUT/scenes.txt"

if [[ "$status" -ne 0 || "$failures" -gt 0 ]]; then
    echo "FAIL screenshot-tour: exit status $status, $failures bad picture(s); see $OUT"
    exit 1
fi
echo "PASS screenshot-tour: $(wc -l <"$OUT/scenes.txt") pictures in $OUT"

#!/usr/bin/env bash
# Real-window test: runs the viewer in a virtual X display (Xvfb) and drives it the
# way a user does, with real key presses and mouse clicks (xdotool):
#   1. start build/bin/kavra examples/node1_day.csv and wait for its window;
#   2. Down (select the next item with the arrow keys): the chart changes;
#   3. Ctrl+Shift+T (toggle the moving average): the chart changes;
#   4. File menu, Properties (clicked and chosen with the arrow keys);
#   5. a screenshot of the whole screen that is not blank;
#   6. Ctrl+Shift+T again (moving average off), Ctrl+Shift+K (Correlate): the
#      correlation window's scatter diagram has red points spread over its plot;
#   7. Ctrl+X ends the program with exit status 0 within 10 seconds.
# Prints one PASS or FAIL line per check and exits non-zero when any check fails.
# Needs xvfb (xvfb-run), xauth, xdotool and imagemagick (tools/setup.sh).
#
# Usage: tools/real-window-test.sh      (from anywhere; builds nothing)
# Environment: KAVRA_VIEWER overrides build/bin/kavra; KAVRA_SHOTS keeps the
# screenshots in that folder (default: a temporary folder, removed afterwards).
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [[ -z "${KAVRA_REAL_WINDOW_INNER:-}" ]]; then
    for tool in xvfb-run xauth xdotool import identify compare convert; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "FAIL real-window: $tool is missing (run tools/setup.sh)"
            exit 2
        fi
    done
    # Under a display of its own, whatever display the caller has; the offscreen
    # platform of the test runs must not leak in.
    exec env -u QT_QPA_PLATFORM KAVRA_REAL_WINDOW_INNER=1 \
        xvfb-run -a -s "-screen 0 1600x1000x24" bash "${BASH_SOURCE[0]}" "$@"
fi

VIEWER="${KAVRA_VIEWER:-$ROOT/build/bin/kavra}"
FILE="$ROOT/examples/node1_day.csv"
SHOTS="${KAVRA_SHOTS:-}"
if [[ -z "$SHOTS" ]]; then
    SHOTS="$(mktemp -d)"
    trap 'rm -rf "$SHOTS"' EXIT
fi
mkdir -p "$SHOTS"

failures=0
pass() { echo "PASS real-window: $*"; }
fail() {
    echo "FAIL real-window: $*"
    failures=$((failures + 1))
}
note() { echo "NOTE real-window: $*"; }

if [[ ! -x "$VIEWER" ]]; then
    fail "$VIEWER not found (build first)"
    exit 1
fi

# wait_for SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds.
wait_for() {
    local tenths=$(($1 * 5))
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# The main window, or nothing, on standard output.
main_window() { xdotool search --onlyvisible --name "^Vesk Kavra" 2>/dev/null | head -1; }
has_main_window() { [[ -n "$(main_window)" ]]; }

# shot NAME: the main window without its status bar (whose clock ticks).
shot() {
    import -window "$win" "$SHOTS/$1-full.png" 2>/dev/null &&
        convert "$SHOTS/$1-full.png" -gravity south -chop 0x60 +repage "$SHOTS/$1.png"
}
# changed A B: the two pictures differ in some pixels.
changed() {
    local pixels
    pixels=$(compare -metric AE "$SHOTS/$1.png" "$SHOTS/$2.png" null: 2>&1 | awk '{ print int($1) }')
    [[ "${pixels:-0}" -gt 0 ]]
}
# took_changed BEFORE AFTER: takes AFTER; true when it differs from BEFORE.
took_changed() { shot "$2" && changed "$1" "$2"; }
# settled: two pictures 0.3 s apart are the same.
settled() {
    shot settle1 && sleep 0.3 && shot settle2 && ! changed settle1 settle2
}
menu_open() { [[ $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l) -gt "$windows_before" ]]; }
properties_shown() { xdotool search --onlyvisible --name '^Properties' >/dev/null 2>&1; }
properties_gone() { ! properties_shown; }
ended() { ! kill -0 "$pid" 2>/dev/null; }

"$VIEWER" "$FILE" >"$SHOTS/kavra.log" 2>&1 &
pid=$!

if ! wait_for 30 has_main_window; then
    fail "no window named \"Vesk Kavra ...\" within 30 s"
    kill "$pid" 2>/dev/null
    cat "$SHOTS/kavra.log"
    exit 1
fi
win=$(main_window)
pass "the main window appeared ($(xdotool getwindowname "$win"))"

# Focus, and wait until the file is loaded and drawn.
xdotool windowfocus --sync "$win"
wait_for 10 settled || note "the window still changes after 10 s"
cp "$SHOTS/settle2.png" "$SHOTS/start.png"

# 2. The Down arrow in the item list: the next item is charted when the key comes up.
xdotool key Down
if wait_for 5 took_changed start down; then
    pass "Down in the item list redraws the chart"
else
    fail "Down in the item list changed nothing on the screen"
fi

# 3. Ctrl+Shift+T: the moving average is added to the chart.
xdotool key ctrl+shift+t
if wait_for 5 took_changed down average; then
    pass "Ctrl+Shift+T toggles the moving average"
else
    fail "Ctrl+Shift+T changed nothing on the screen"
fi

# 4. File menu, Properties: the menu titles have no & keys, so the title is clicked
# and the eighth entry (Open, PrintPreview, PrintChart, ExportChart, Copy Chart,
# Save as ..., Save Report ..., Properties) is chosen with the arrow keys.
windows_before=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
xdotool mousemove --window "$win" 20 10 click 1
if wait_for 5 menu_open; then
    pass "the File menu opens"
    xdotool key Down Down Down Down Down Down Down Down Return
    if wait_for 5 properties_shown; then
        props=$(xdotool search --onlyvisible --name '^Properties' | head -1)
        pass "File / Properties opens the Properties window"
        sleep 0.3
        import -window root "$SHOTS/properties.png" 2>/dev/null
        xdotool windowfocus --sync "$props" key Escape
        wait_for 5 properties_gone ||
            fail "the Properties window stayed open after Escape"
    else
        fail "File / Properties showed no window named \"Properties\" within 5 s"
        xdotool key Escape
    fi
else
    fail "clicking the File menu title opened no menu"
fi

# 5. The whole screen is not blank.
import -window root "$SHOTS/screen.png" 2>/dev/null
colours=$(identify -format %k "$SHOTS/screen.png" 2>/dev/null || echo 0)
if [[ "$colours" -gt 16 ]]; then
    pass "the screenshot shows $colours colours"
else
    fail "the screenshot is blank ($colours colours)"
fi

# 6. Correlate (Ctrl+Shift+K) needs one charted series: the moving average goes
# off first. The scatter diagram, right of the list, must have red points in
# many cells of a grid laid over it, not in a handful of places.
correlation_shown() { xdotool search --onlyvisible --name '^Vesk Correlation Coefficients' >/dev/null 2>&1; }
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key ctrl+shift+t
wait_for 5 settled || note "the window still changes after Ctrl+Shift+T"
xdotool key ctrl+shift+k
if wait_for 10 correlation_shown; then
    corr=$(xdotool search --onlyvisible --name '^Vesk Correlation Coefficients' | head -1)
    sleep 0.5
    import -window "$corr" "$SHOTS/correlation.png" 2>/dev/null
    # The chart takes the window's right 63 %; its plot lies inside the frame of titles and axes.
    convert "$SHOTS/correlation.png" -gravity east -crop 60%x100%+0+0 +repage \
        -gravity center -crop 80%x70%+0+0 +repage \
        -fx '(r > 0.78 && g < 0.3 && b < 0.3) ? 1 : 0' "$SHOTS/correlation-red.png" 2>/dev/null
    cells=$(convert "$SHOTS/correlation-red.png" -crop 8x8@ +repage -format '%[fx:maxima.r > 0 ? 1 : 0]\n' info: 2>/dev/null |
        awk '{ n += $1 } END { print n + 0 }')
    if [[ "$cells" -ge 8 ]]; then
        pass "Correlate shows a scatter diagram with red points in $cells of 64 cells of its plot"
    else
        fail "the scatter diagram has red points in only ${cells:-0} of 64 cells of its plot"
    fi
    xdotool windowfocus --sync "$corr" key Escape 2>/dev/null
else
    fail "Ctrl+Shift+K showed no window named \"Vesk Correlation Coefficients\" within 10 s"
    xdotool key Return  # a message box would wait for its OK
fi

# 7. Ctrl+X in the main window ends the program at once, with status 0.
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key ctrl+x
if wait_for 10 ended; then
    wait "$pid"
    status=$?
    if [[ "$status" -eq 0 ]]; then
        pass "Ctrl+X ends the program with status 0"
    else
        fail "Ctrl+X ended the program with status $status"
    fi
else
    fail "the program still runs 10 s after Ctrl+X"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
fi

if [[ "$failures" -gt 0 ]]; then
    echo "FAIL real-window: $failures check(s) failed; the viewer's output:"
    cat "$SHOTS/kavra.log"
    exit 1
fi
echo "PASS real-window: all checks"

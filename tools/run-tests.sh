#!/usr/bin/env bash
# Builds Kavra and runs every test twice: in a normal build (build/) and in a
# Debug build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
# Exits non-zero when a build or any test fails. Run from anywhere in the repo.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs="${KAVRA_JOBS:-2}"

bash tools/setup.sh

# The GUI tests, and the test discovery that runs each test program after it is
# built, must never need a display.
export QT_QPA_PLATFORM=offscreen

status=0
failed=()
# failed_stage NAME: records a failed stage; the list is printed again at the end,
# where a log cut to its last lines still shows it.
failed_stage() {
    status=1
    failed+=("$1")
}
# failed_tests DIR: the names of the tests that failed in the last CTest run in DIR.
failed_tests() {
    local log="$1/Testing/Temporary/LastTestsFailed.log"
    [[ -f "$log" ]] && cut -d: -f2- "$log" | tr '\n' ' '
}

echo "=== build/: configure and build"
cmake -S . -B build -G Ninja -DKAVRA_BUILD_GUI=ON -DKAVRA_BUILD_TESTS=ON
cmake --build build -j "$jobs"
echo "=== build/: tests"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs" ||
    failed_stage "build/ tests: $(failed_tests build)"
echo "=== build/: the viewer in a real (virtual X) window"
bash tools/real-window-test.sh || failed_stage "the real-window test"

echo "=== build-asan/: configure and build (address and undefined behaviour sanitizers)"
# Leak-checked: tools/lsan.supp lists the library-internal leaks (each with its
# reason) that are not Kavra's; a leak in Kavra's own code fails the test.
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$(pwd)/tools/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAVRA_SANITIZE=ON -DKAVRA_BUILD_BENCH=OFF \
    -DKAVRA_BUILD_GUI=ON -DKAVRA_BUILD_TESTS=ON
cmake --build build-asan -j "$jobs"
echo "=== build-asan/: tests"
ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs" ||
    failed_stage "build-asan/ tests: $(failed_tests build-asan)"

echo "=== build-asan/: the random exerciser, 60 s with a fixed seed, 60 s with a seed from the clock, 30 s classic"
# A failure prints the seed, the step, the last actions and the command that replays it.
build-asan/bin/kavra_exerciser --seed 20261207 --seconds 60 || failed_stage "the exerciser, seed 20261207"
clock_seed=$(date +%s)
echo "exerciser seed from the clock: $clock_seed"
build-asan/bin/kavra_exerciser --seed "$clock_seed" --seconds 60 || failed_stage "the exerciser, seed $clock_seed"
build-asan/bin/kavra_exerciser --classic --seed "$clock_seed" --seconds 30 ||
    failed_stage "the exerciser, classic edition, seed $clock_seed"

echo "=== build-core/: kavra-batch without Qt (-DKAVRA_BUILD_GUI=OFF) builds and refuses the chart commands"
cmake -S . -B build-core -G Ninja -DKAVRA_BUILD_GUI=OFF -DKAVRA_BUILD_TESTS=OFF -DKAVRA_BUILD_BENCH=OFF
if cmake --build build-core -j "$jobs" --target kavra-batch; then
    for command in "render examples/node1_day.csv -o build-core/x.png" "report examples/node1_day.csv -o build-core/x.pdf"; do
        # shellcheck disable=SC2086  # the command's words
        said=$(build-core/bin/kavra-batch $command 2>&1 || true)
        [[ $said == *"built without the chart"* ]] ||
            failed_stage "kavra-batch without Qt: ${command%% *} does not say it needs the chart"
    done
    build-core/bin/kavra-batch info examples/node1_day.csv >/dev/null || failed_stage "kavra-batch without Qt: info"
else
    failed_stage "kavra-batch without Qt does not build"
fi

echo "=== build-fuzz/: fuzz targets (libFuzzer), 60 s in all"
bash tools/fuzz.sh 60 || failed_stage "the fuzz targets"

if [ "$status" -ne 0 ]; then
    echo "run-tests: some tests failed:" >&2
    printf '  %s\n' "${failed[@]}" >&2
fi
exit "$status"

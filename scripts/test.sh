#!/usr/bin/env bash
# The whole test run on a fresh Debian 12 machine, as root: installs what is missing, builds the sanitizer, fuzz
# and Windows presets, runs every test (the Windows ones under Wine on virtual screens, among them two-monitor and
# scaled desks), fuzzes briefly and runs the benchmark once at one size. Ends with the time of each stage and the
# Wine processes that had to be started again (none is the normal case). Every test failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
unset ORBI_MONITORS ORBI_LOGPIXELS

stages=()
stage_started=
stage_name=
# Each stage's time goes into the table at the end.
stage() {
    [ -z "$stage_name" ] || stages+=("$(printf '%6d s  %s' $((SECONDS - stage_started)) "$stage_name")")
    stage_name=$1
    stage_started=$SECONDS
    [ -z "$1" ] || echo "== $1"
}

stage "dependencies"
scripts/install-deps.sh

stage "format"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | grep -v '^./build/')
clang-format --dry-run -Werror $files

jobs=${ORBI_JOBS:-2}
status=0
passed=0
failed=0
skipped=0
mkdir -p build

# Runs one ctest and adds its counts to the totals printed at the end (a skipped test is not counted as passed).
run_ctest() {
    local rc line total bad skip
    set +e
    ctest --output-on-failure "$@" 2>&1 | tee "$root/build/ctest-last.log"
    rc=${PIPESTATUS[0]}
    set -e
    line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$root/build/ctest-last.log" | tail -1)
    if [ -n "$line" ]; then
        bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        skip=$(grep -c '^ *[0-9]*/[0-9]* Test *#.*\*\*\*Skipped' "$root/build/ctest-last.log" || true)
        passed=$((passed + total - bad - skip))
        skipped=$((skipped + skip))
        failed=$((failed + bad))
    elif [ "$rc" -ne 0 ]; then
        failed=$((failed + 1))
    fi
    [ "$rc" -eq 0 ] || status=1
}

# The unit tests run natively under AddressSanitizer and UBSan (a plain native build would run the same code
# without the checks; they run unchecked under Wine below).
stage "build native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j "$jobs"
stage "test native-asan"
run_ctest --preset native-asan -j "$jobs"

stage "build fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
stage "fuzz: corpora replayed, then ${ORBI_FUZZ_SECONDS:-5} s per target (longer: scripts/fuzz.sh)"
run_ctest --preset fuzz
scripts/fuzz.sh "${ORBI_FUZZ_SECONDS:-5}" || { status=1; failed=$((failed + 1)); }

stage "build windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

# Its own Wine session, apart from any a developer has running. One prefix for every desk: only the X servers and
# the wineserver restart when the desk changes.
export ORBI_WINE_DIR=$root/build/wine-test
export ORBI_KEEPALIVE=$root/build/windows/tests/orbi_keepalive.exe
mkdir -p "$ORBI_WINE_DIR"
rm -f "$ORBI_WINE_DIR/restarts.log"
trap 'scripts/wine-session.sh stop' EXIT
stage "wine session"
scripts/wine-session.sh start 1024x768
stage "wine tests"
# Suites named Monitors... need a second monitor, ModeChange... a resolution that can change: they run on the desks
# below, not on this one.
monitor_tests='^wine\.([^.]*/)?Monitors'
mode_tests='^wine\.([^.]*/)?ModeChange'
dpi_tests='^wine\.([^.]*/)?AnyDpi'
# The no-wave-device cases skip where there is a device: they run in their own entry, wine.BgmNoWaveDevice.
no_device_cases='^wine\.BgmNoWaveDeviceWinTest\.'
# The planted-DLL case needs Wine told to search as Windows does: it runs in its own entry, wine.PlantedDlls.
planted_cases='^wine\.PlantedDlls\.'
wine_ctest=(--preset windows -j 1)
run_ctest "${wine_ctest[@]}" -LE benchmark -E "$monitor_tests|$mode_tests|$no_device_cases|$planted_cases"

stage "wine desks: a second monitor right of, left of and above the primary; a resolution changed; 72 to 480 dpi"
for layout in ${ORBI_MONITOR_LAYOUTS-right left above resizable}; do
    ORBI_MONITORS=$layout scripts/wine-session.sh desk
    run_ctest "${wine_ctest[@]}" -R "$([ "$layout" = resizable ] && echo "$mode_tests" || echo "$monitor_tests")"
done
# Suites named AnyDpi... hold at any display scaling; the display's own also at the ends of the range.
first=1
for dpi in ${ORBI_DPIS-120 144 168 192 336 72 480}; do
    pattern=$dpi_tests
    case $dpi in
    72 | 480) pattern="${dpi_tests}Display" ;;
    # The dialog's exact rectangles are worked by hand for 96 dpi (the first desk) and 144 dpi.
    144) pattern="$dpi_tests|^wine\.DialogLayoutAt96And144Dpi" ;;
    esac
    if [ -n "$first" ]; then
        ORBI_LOGPIXELS=$dpi scripts/wine-session.sh desk
        first=
    else
        scripts/wine-session.sh dpi "$dpi"
    fi
    run_ctest "${wine_ctest[@]}" -R "$pattern"
done
scripts/wine-session.sh stop

if [ -z "${ORBI_SKIP_BENCH:-}" ]; then
    # The full benchmark is scripts/bench.sh; here it only has to run and print its table.
    stage "benchmark smoke run (full: scripts/bench.sh)"
    scripts/bench.sh smoke || { echo "the benchmark did not run"; status=1; failed=$((failed + 1)); }
fi
stage ""

echo
echo "== time per stage"
printf '%s\n' "${stages[@]}"
printf '%6d s  in all\n' "$SECONDS"
echo "== Wine processes started again because Wine did not start them"
if [ -s "$ORBI_WINE_DIR/restarts.log" ]; then cat "$ORBI_WINE_DIR/restarts.log"; else echo "none"; fi
echo
echo "$passed passed, $failed failed, $skipped skipped"
exit $status

#!/usr/bin/env bash
# The whole test run on a fresh Debian 12 machine, as root: installs what is missing, builds the native, sanitizer
# and Windows presets, runs every test (the Windows ones under Wine on a virtual screen) and the benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

echo "== format"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | grep -v '^./build/')
clang-format --dry-run -Werror $files

jobs=${ORBI_JOBS:-2}
status=0
passed=0
failed=0
mkdir -p build

# Runs one ctest and adds its counts to the totals printed at the end.
run_ctest() {
    local rc line total bad
    set +e
    ctest --output-on-failure "$@" 2>&1 | tee "$root/build/ctest-last.log"
    rc=${PIPESTATUS[0]}
    set -e
    line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$root/build/ctest-last.log" | tail -1)
    if [ -n "$line" ]; then
        bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    elif [ "$rc" -ne 0 ]; then
        failed=$((failed + 1))
    fi
    [ "$rc" -eq 0 ] || status=1
}

echo "== native"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
run_ctest --preset native -j "$jobs"

echo "== native with AddressSanitizer and UBSan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j "$jobs"
run_ctest --preset native-asan -j "$jobs"

echo "== fuzzing (libFuzzer, ASan, UBSan): the kept corpus replayed, then a bounded run per target"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
run_ctest --preset fuzz
scripts/fuzz.sh "${ORBI_FUZZ_SECONDS:-30}" || { status=1; failed=$((failed + 1)); }

echo "== windows (MinGW-w64), tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

# Its own Wine session, apart from any a developer has running.
export ORBI_WINE_DIR=$root/build/wine-test
export ORBI_KEEPALIVE=$root/build/windows/tests/orbi_keepalive.exe
trap 'scripts/wine-session.sh stop' EXIT
scripts/wine-session.sh start 1024x768
# Suites named Monitors... need a second monitor: they run on the desks below, not on this one.
monitor_tests='^wine\.([^.]*/)?Monitors'
dpi_tests='^wine\.([^.]*/)?AnyDpi'
# Wine now and then fails to start a test process on a loaded machine (the test fails within a hundredth of a
# second, before printing anything): such a test gets a second run. A test that fails twice fails.
wine_ctest=(--preset windows -j 1 --repeat until-pass:2)
run_ctest "${wine_ctest[@]}" -LE benchmark -E "$monitor_tests"
scripts/wine-session.sh stop

echo "== windows on other desks: a second monitor right of, left of and above the primary; 72 to 480 dpi"
desks_started=$SECONDS
for layout in ${ORBI_MONITOR_LAYOUTS-right left above}; do
    ORBI_MONITORS=$layout scripts/wine-session.sh start 1024x768
    run_ctest "${wine_ctest[@]}" -R "$monitor_tests"
    scripts/wine-session.sh stop
done
# Suites named AnyDpi... hold at any display scaling; the display's own also at the ends of the range. One
# prefix for all: only its server restarts with each scaling.
dpi_session=
for dpi in ${ORBI_DPIS-120 144 168 192 336 72 480}; do
    pattern=$dpi_tests
    case $dpi in 72 | 480) pattern="${dpi_tests}Display" ;; esac
    if [ -z "$dpi_session" ]; then
        ORBI_LOGPIXELS=$dpi scripts/wine-session.sh start 1024x768
        dpi_session=1
    else
        scripts/wine-session.sh dpi "$dpi"
    fi
    run_ctest "${wine_ctest[@]}" -R "$pattern"
done
scripts/wine-session.sh stop
echo "other desks took $((SECONDS - desks_started)) s"

if [ -x scripts/bench.sh ] && [ -z "${ORBI_SKIP_BENCH:-}" ]; then
    echo "== benchmarks (figures only, never a failure)"
    scripts/bench.sh || echo "benchmark run did not complete"
fi

echo
echo "$passed passed, $failed failed"
exit $status

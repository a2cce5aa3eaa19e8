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

echo "== native"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" || status=1

echo "== native with AddressSanitizer and UBSan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j "$jobs"
ctest --preset native-asan -j "$jobs" || status=1

echo "== fuzzing (libFuzzer, ASan, UBSan): the kept corpus replayed, then a bounded run per target"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz || status=1
scripts/fuzz.sh "${ORBI_FUZZ_SECONDS:-30}" || status=1

echo "== windows (MinGW-w64), tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

# Its own Wine session, apart from any a developer has running.
export ORBI_WINE_DIR=$root/build/wine-test
export ORBI_KEEPALIVE=$root/build/windows/tests/orbi_keepalive.exe
trap 'scripts/wine-session.sh stop' EXIT
scripts/wine-session.sh start 1024x768
ctest --preset windows -j 1 -LE benchmark || status=1
scripts/wine-session.sh stop

if [ -x scripts/bench.sh ] && [ -z "${ORBI_SKIP_BENCH:-}" ]; then
    echo "== benchmarks (figures only, never a failure)"
    scripts/bench.sh || echo "benchmark run did not complete"
fi

exit $status

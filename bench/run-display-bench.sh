#!/usr/bin/env bash
# Runs the display benchmark on its own virtual screen (1920 x 1080 unless ORBI_BENCH_SIZE says otherwise) with its
# own Wine session, so that a session other work uses is neither disturbed nor measured. Prints the figures; fails
# only when it could not measure.
#   bench/run-display-bench.sh [path of orbi_display_bench.exe]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$root/build/windows/bench/orbi_display_bench.exe}
size=${ORBI_BENCH_SIZE:-1920x1080}
# One prefix per size, so that the two runs may share a machine without stopping each other's session.
export ORBI_WINE_DIR=${ORBI_BENCH_WINE_DIR:-$root/build/wine-bench-$size}
export ORBI_KEEPALIVE=${ORBI_KEEPALIVE:-$root/build/windows/tests/orbi_keepalive.exe}
trap '"$root/scripts/wine-session.sh" stop' EXIT
"$root/scripts/wine-session.sh" start "$size" >/dev/null
"$root/scripts/wine-run.sh" "$bench"

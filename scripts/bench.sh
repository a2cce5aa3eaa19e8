#!/usr/bin/env bash
# Benchmarks: each prints its figures beside a reference measured in the same run; none fails on time.
#   scripts/bench.sh          the full run: the display benchmark at 1920 x 1080, then at 3840 x 2160, one after the
#                             other (never both at once: the figures would measure each other); several minutes
#   scripts/bench.sh smoke    the same table from a few samples at 1920 x 1080, in seconds: proves that the
#                             benchmark runs; fails only when it does not run or print its table
# ORBI_BENCH_SIZES overrides the sizes of either. Each run keeps its Wine session in a folder of its own, inside
# $ORBI_WINE_DIR when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-full}
case $mode in
    full) sizes=${ORBI_BENCH_SIZES:-1920x1080 3840x2160} ;;
    smoke) sizes=${ORBI_BENCH_SIZES:-1920x1080} ;;
    *) echo "usage: scripts/bench.sh [smoke]" >&2; exit 2 ;;
esac
cmake --build --preset windows -j "${ORBI_JOBS:-2}" --target orbi_display_bench orbi_keepalive >/dev/null
for size in $sizes; do
    ORBI_BENCH_SIZE=$size bench/run-display-bench.sh "$mode"
done

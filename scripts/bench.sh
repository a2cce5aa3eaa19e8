#!/usr/bin/env bash
# Benchmarks: each prints its figures beside a reference measured in the same run; none fails on time.
# The display benchmark runs at 1920 x 1080 and again at 3840 x 2160, one after the other (never both at once: the
# figures would measure each other).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset windows -j "${ORBI_JOBS:-2}" --target orbi_display_bench >/dev/null
for size in ${ORBI_BENCH_SIZES:-1920x1080 3840x2160}; do
    ORBI_BENCH_SIZE=$size bench/run-display-bench.sh
done

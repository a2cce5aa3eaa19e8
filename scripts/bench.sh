#!/usr/bin/env bash
# Benchmarks: each prints its figures beside a reference measured in the same run; none fails on time.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset windows -j "${ORBI_JOBS:-2}" --target orbi_display_bench >/dev/null
bench/run-display-bench.sh

#!/usr/bin/env bash
# Fuzzes every libFuzzer target for a bounded time, starting from the corpus kept in fuzz/corpus/.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]        ORBI_FUZZ_MERGE=1 adds new interesting inputs to the corpus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${ORBI_FUZZ_SECONDS:-30}}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${ORBI_JOBS:-2}" >/dev/null
status=0
for exe in build/fuzz/fuzz/*_fuzz; do
    name=$(basename "$exe")
    corpus=fuzz/corpus/$name
    work=$(mktemp -d)
    mkdir -p "$corpus"
    # Crashes land in build/fuzz/crashes: add the file to the corpus to keep it as a regression test.
    mkdir -p build/fuzz/crashes
    if "$exe" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/crashes/"$name"- "$work" "$corpus" >"build/fuzz/$name.log" 2>&1; then
        runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "build/fuzz/$name.log" | grep -o '[0-9]*$')
        cov=$(grep -o 'cov: [0-9]*' "build/fuzz/$name.log" | tail -1)
        printf '%-22s %4ss  %10s runs  %s  ok\n' "$name" "$seconds" "${runs:-?}" "$cov"
    else
        printf '%-22s FAILED, see build/fuzz/%s.log\n' "$name" "$name"
        tail -30 "build/fuzz/$name.log"
        status=1
    fi
    if [ -n "${ORBI_FUZZ_MERGE:-}" ]; then
        "$exe" -merge=1 "$corpus" "$work" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
done
exit $status

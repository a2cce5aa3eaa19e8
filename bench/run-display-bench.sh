#!/usr/bin/env bash
# Runs the display benchmark on its own virtual screen (1920 x 1080 unless ORBI_BENCH_SIZE says otherwise) with its
# own Wine session, so that a session other work uses is neither disturbed nor measured. Prints the figures; fails
# only when it could not measure or did not print its table.
#   bench/run-display-bench.sh [full|smoke] [path of orbi_display_bench.exe]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-full}
bench=${2:-$root/build/windows/bench/orbi_display_bench.exe}
size=${ORBI_BENCH_SIZE:-1920x1080}
case $mode in
    full) args=() limit=1800 ;;
    smoke) args=(smoke) limit=300 ;;
    *) echo "run-display-bench.sh: full or smoke, not $mode" >&2; exit 2 ;;
esac
# A folder of its own for each size and mode (inside the caller's session folder when one is set), so that runs
# never stop each other's session.
export ORBI_WINE_DIR=${ORBI_BENCH_WINE_DIR:-${ORBI_WINE_DIR:-$root/build}/bench-$mode-$size}
export ORBI_KEEPALIVE=${ORBI_KEEPALIVE:-$root/build/windows/tests/orbi_keepalive.exe}
trap '"$root/scripts/wine-session.sh" stop' EXIT
"$root/scripts/wine-session.sh" start "$size" >/dev/null
# The figures are kept to check that the table came out; a hung run is ended (the session's stop ends its children).
# The machine is shared: its load before and after says how far the figures can be trusted.
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
timeout -k 10 "$limit" "$root/scripts/wine-run.sh" "$bench" "${args[@]}" | tee "$ORBI_WINE_DIR/bench.out"
echo "load average after the run $(cut -d' ' -f1-3 /proc/loadavg)"
grep -q '^measure ' "$ORBI_WINE_DIR/bench.out" || { echo "the benchmark printed no table" >&2; exit 1; }

#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's environment (the CMake cross-compiling emulator).
# A program that reads ORBI_STARTED_MARKER (the test programs) makes that file first thing in main(). Wine now and
# then fails to start a process on a loaded machine: it exits at once, before the program's entry. Such a program,
# and only such, is started once more; one line says so, and $ORBI_WINE_DIR/restarts.log keeps it for the summary.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
grep -qa ORBI_STARTED_MARKER "$1" 2>/dev/null || exec "${WINE_CMD[@]}" "$@"

mkdir -p "$ORBI_WINE_DIR/started"
marker=$(mktemp -u "$ORBI_WINE_DIR/started/XXXXXXXX")
err=$marker.stderr
export ORBI_STARTED_MARKER="Z:${marker//\//\\}"
# A process the test starts that Wine loses on its way up is started again by the test and listed here too.
export ORBI_RESTARTS_LOG="Z:${ORBI_WINE_DIR//\//\\}\\restarts.log" ORBI_RUN_NAME="$(basename "$1") ${*:2}"
started=$EPOCHREALTIME
# Its stderr passes through as it comes; a copy is kept for the line below.
"${WINE_CMD[@]}" "$@" 2> >(tee "$err" >&2)
rc=$?
ended=$EPOCHREALTIME
wait
if [ "$rc" -eq 0 ] || [ -e "$marker" ]; then
    rm -f "$marker" "$err"
    exit "$rc"
fi
line="$(date +%T) $ORBI_RUN_NAME: Wine exited $rc after $(awk "BEGIN { printf \"%.3f\", $ended - $started }") s, before the program's entry;"
line+=" stderr: $(tail -c 300 "$err" | tr '\n' ' ')"
echo "wine-run.sh: not started, once more: $line" >&2
echo "$line" >>"$ORBI_WINE_DIR/restarts.log"
rm -f "$err"
exec "${WINE_CMD[@]}" "$@"

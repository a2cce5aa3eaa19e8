#!/usr/bin/env bash
# Builds Orbimotion.scr and runs it in display mode under Wine: on $DISPLAY when set, otherwise on a virtual
# screen, where it saves a screenshot and stops after a few seconds.
#   scripts/run.sh [ARGUMENTS]      (default /s; try /c for the settings dialog)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
args=${*:-/s}

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "${ORBI_JOBS:-2}" --target Orbimotion

export ORBI_WINE_DIR=$root/build/wine-run
trap 'scripts/wine-session.sh stop' EXIT
if [ -n "${DISPLAY:-}" ]; then
    ORBI_DISPLAY=$DISPLAY scripts/wine-session.sh start
    # shellcheck disable=SC2086
    scripts/wine-run.sh build/windows/Orbimotion.scr $args
    exit 0
fi

scripts/wine-session.sh start 1024x768
. "$ORBI_WINE_DIR/session.env"
# shellcheck disable=SC2086
scripts/wine-run.sh build/windows/Orbimotion.scr $args &
pid=$!
sleep "${ORBI_RUN_SECONDS:-6}"
shot=$root/build/screenshot.png
import -display "$DISPLAY" -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
# Any key ends the saver the way a user would.
DISPLAY=$DISPLAY xdotool key shift 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

#!/usr/bin/env bash
# Starts or stops the Wine session the tests run in: a virtual X screen, a throw-away prefix with code page 932,
# Japanese fonts and no window manager, and a persistent, warmed-up wineserver.
#   wine-session.sh start [WIDTHxHEIGHT]     wine-session.sh stop
set -euo pipefail
cmd=${1:-start}
size=${2:-1024x768}
ORBI_WINE_DIR=${ORBI_WINE_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build/wine}
export ORBI_WINE_DIR

stop() {
    # A test that made a folder read-only with a bind mount and died before undoing it leaves the mount behind.
    { grep -o " $ORBI_WINE_DIR/[^ ]*" /proc/mounts || true; } | sort -r | while read -r m; do umount -l "$m" || true; done
    if [ -f "$ORBI_WINE_DIR/session.env" ]; then
        . "$(dirname "$0")/wine-env.sh"
        "$WINESERVER" -k 2>/dev/null || true
        [ -f "$ORBI_WINE_DIR/keepalive.pid" ] && kill "$(cat "$ORBI_WINE_DIR/keepalive.pid")" 2>/dev/null || true
        [ -f "$ORBI_WINE_DIR/xvfb.pid" ] && kill "$(cat "$ORBI_WINE_DIR/xvfb.pid")" 2>/dev/null || true
        rm -f "$ORBI_WINE_DIR/session.env" "$ORBI_WINE_DIR/xvfb.pid" "$ORBI_WINE_DIR/keepalive.pid"
    fi
}

if [ "$cmd" = stop ]; then
    stop
    exit 0
fi

stop
mkdir -p "$ORBI_WINE_DIR"
rm -rf "$ORBI_WINE_DIR/prefix"

if [ -n "${ORBI_DISPLAY:-}" ]; then
    # The user's own screen: no virtual one.
    display=$ORBI_DISPLAY
else
    # A free display number: the first whose lock file does not exist.
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >"$ORBI_WINE_DIR/xvfb.log" 2>&1 &
    echo $! >"$ORBI_WINE_DIR/xvfb.pid"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start" >&2; exit 1; }
    display=:$n
fi

printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$ORBI_WINE_DIR/alsa-null.conf"
cat >"$ORBI_WINE_DIR/session.env" <<ENV
export DISPLAY=$display
export WINEPREFIX=$ORBI_WINE_DIR/prefix
export ORBI_URL_LOG=$ORBI_WINE_DIR/url.log
ENV

. "$(dirname "$0")/wine-env.sh"
"$WINE" wineboot -i >/dev/null 2>&1
reg() { "$WINE" reg add "$@" /f >/dev/null 2>&1; }
# No window manager: without this every DestroyWindow of a visible window waits about two seconds.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
# Wine does not map the Japanese system faces to an installed font by itself.
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS PGothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$(cd "$(dirname "$0")" && pwd)/record-url.sh"
"$WINESERVER" -w

# A persistent server, warmed up once, makes each test process start in a tenth of a second. It must listen before
# the first client comes: an earlier client (a cold machine is slow to start the server) starts a short-lived server
# of its own, the persistent one gives way, and the tests find no warm server and no desktop process.
setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 &
# Whether a process of this prefix matches the pattern (and, when asked, listens in its folder).
running() {
    local p
    for p in $(pgrep -f "$1"); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null || continue
        [ -z "${2:-}" ] || [ -S "/proc/$p/cwd/socket" ] && return 0
    done
    return 1
}
for _ in $(seq 200); do running "$WINESERVER -p\$" socket && break; sleep 0.05; done
running "$WINESERVER -p\$" socket || { echo "the persistent wineserver did not start" >&2; exit 1; }
"$WINE" cmd /c exit >/dev/null 2>&1 || true
if [ -n "${ORBI_KEEPALIVE:-}" ] && [ -f "$ORBI_KEEPALIVE" ]; then
    # Its window brings up the desktop process, which the first test would otherwise start cold, racing it.
    rm -f "$ORBI_WINE_DIR/keepalive.ready"
    setsid "$WINE" "$ORBI_KEEPALIVE" "Z:${ORBI_WINE_DIR//\//\\}\\keepalive.ready" </dev/null >/dev/null 2>&1 &
    echo $! >"$ORBI_WINE_DIR/keepalive.pid"
    for _ in $(seq 400); do [ -e "$ORBI_WINE_DIR/keepalive.ready" ] && break; sleep 0.05; done
    [ -e "$ORBI_WINE_DIR/keepalive.ready" ] || echo "the keepalive window did not appear within 20 s" >&2
fi
echo "Wine session on DISPLAY=$display, prefix $WINEPREFIX"

#!/usr/bin/env bash
# Starts or stops the Wine session the tests run in: a virtual X screen, a throw-away prefix with code page 932,
# Japanese fonts and no window manager, and a persistent, warmed-up wineserver.
#   wine-session.sh start [WIDTHxHEIGHT]     wine-session.sh stop
# Other desks:
#   ORBI_MONITORS=right|left|above   a second monitor beside the primary (WIDTHxHEIGHT): right of it (1280x1024,
#                                    larger than the primary), left of it or above it (800x600), through Xephyr
#   ORBI_LOGPIXELS=N                 display scaling: N dots per inch instead of 96
#   wine-session.sh dpi N            the running session's scaling changed to N dpi (its server restarted: a few
#                                    seconds instead of a new prefix)
set -euo pipefail
# No step may end the script silently.
trap 'echo "wine-session.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR
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
        [ -f "$ORBI_WINE_DIR/xephyr.pid" ] && kill "$(cat "$ORBI_WINE_DIR/xephyr.pid")" 2>/dev/null || true
        [ -f "$ORBI_WINE_DIR/xvfb.pid" ] && kill "$(cat "$ORBI_WINE_DIR/xvfb.pid")" 2>/dev/null || true
        rm -f "$ORBI_WINE_DIR/session.env" "$ORBI_WINE_DIR/xvfb.pid" "$ORBI_WINE_DIR/xephyr.pid" \
            "$ORBI_WINE_DIR/keepalive.pid"
    fi
}

# A Wine process now and then fails to start on a loaded machine: each set-up step gets three tries.
wine_step() {
    local try
    for try in 1 2 3; do
        "$WINE" "$@" >"$ORBI_WINE_DIR/step.log" 2>&1 && return 0
        echo "wine $1 failed (try $try): $(tail -2 "$ORBI_WINE_DIR/step.log" | tr '\n' ' ')" >&2
    done
    return 1
}
reg() { wine_step reg add "$@" /f; }

# Whether a process of this prefix matches the pattern (and, when asked, listens in its folder).
running() {
    local p
    for p in $(pgrep -f "$1"); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null || continue
        [ -z "${2:-}" ] || [ -S "/proc/$p/cwd/socket" ] && return 0
    done
    return 1
}

# A persistent server, warmed up once, makes each test process start in a tenth of a second. It must listen before
# the first client comes: an earlier client (a cold machine is slow to start the server) starts a short-lived server
# of its own, the persistent one gives way, and the tests find no warm server and no desktop process.
start_server() {
    setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 &
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
}

if [ "$cmd" = stop ]; then
    stop
    exit 0
fi

if [ "$cmd" = dpi ]; then
    [ -f "$ORBI_WINE_DIR/session.env" ] || { echo "no session in $ORBI_WINE_DIR" >&2; exit 1; }
    . "$(dirname "$0")/wine-env.sh"
    [ -f "$ORBI_WINE_DIR/keepalive.pid" ] && kill "$(cat "$ORBI_WINE_DIR/keepalive.pid")" 2>/dev/null || true
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w
    # Read when the server starts, so it is written with the server down and the server started afresh.
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2"
    "$WINESERVER" -w
    start_server
    echo "Wine session now at $2 dpi"
    exit 0
fi

stop
mkdir -p "$ORBI_WINE_DIR"
rm -rf "$ORBI_WINE_DIR/prefix"

# A free display number: the first whose lock file does not exist.
free_display() {
    local n=$1
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    echo "$n"
}
wait_display() {
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$1" ] && return 0
        sleep 0.1
    done
    echo "$2 did not start" >&2
    exit 1
}

monitors=${ORBI_MONITORS:-}
w=${size%x*}
h=${size#*x}
case "$monitors" in
    '') ;;
    # Xinerama heads in Xephyr's order; Wine makes the first the primary unless told otherwise.
    right) heads=("${w}x$h" 0,0 1280x1024 "$w,0") ;;
    left) heads=(800x600 0,0 "${w}x$h" 800,0) ;;
    above) heads=(800x600 0,0 "${w}x$h" 0,600) ;;
    *) echo "ORBI_MONITORS: right, left or above" >&2; exit 2 ;;
esac

if [ -n "${ORBI_DISPLAY:-}" ]; then
    # The user's own screen: no virtual one.
    display=$ORBI_DISPLAY
else
    n=$(free_display 90)
    outer=$size
    # Xvfb stacks its own heads at 0,0; Xephyr, run inside a screen large enough for both, places them apart.
    [ -n "$monitors" ] && outer=2400x1400
    Xvfb ":$n" -screen 0 "${outer}x24" -nolisten tcp >"$ORBI_WINE_DIR/xvfb.log" 2>&1 &
    echo $! >"$ORBI_WINE_DIR/xvfb.pid"
    wait_display "$n" Xvfb
    display=:$n
    if [ -n "$monitors" ]; then
        m=$(free_display $((n + 1)))
        args=()
        for ((i = 0; i < ${#heads[@]}; i += 2)); do
            # The host window sits where the head does, so that the two never overlap on the outer screen.
            args+=(-origin "${heads[i + 1]}" -screen "${heads[i]}+${heads[i + 1]%,*}+${heads[i + 1]#*,}")
        done
        DISPLAY=:$n Xephyr ":$m" +xinerama "${args[@]}" -nolisten tcp -noreset \
            >"$ORBI_WINE_DIR/xephyr.log" 2>&1 &
        echo $! >"$ORBI_WINE_DIR/xephyr.pid"
        wait_display "$m" Xephyr
        display=:$m
    fi
fi

printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$ORBI_WINE_DIR/alsa-null.conf"
cat >"$ORBI_WINE_DIR/session.env" <<ENV
export DISPLAY=$display
export WINEPREFIX=$ORBI_WINE_DIR/prefix
export ORBI_URL_LOG=$ORBI_WINE_DIR/url.log
ENV

. "$(dirname "$0")/wine-env.sh"
wine_step wineboot -i
# No window manager: without this every DestroyWindow of a visible window waits about two seconds.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
# Wine does not map the Japanese system faces to an installed font by itself.
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS PGothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$(cd "$(dirname "$0")" && pwd)/record-url.sh"
if [ -n "$monitors" ]; then
    # Wine reads Xinerama heads only without XRandR; with the other head first, the second is made the primary.
    reg 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N
    [ "$monitors" = right ] || reg 'HKCU\Software\Wine\X11 Driver' /v PrimaryMonitor /t REG_SZ /d 1
fi
if [ -n "${ORBI_LOGPIXELS:-}" ]; then
    # Read when the server starts: set before the persistent one below.
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$ORBI_LOGPIXELS"
fi
"$WINESERVER" -w
start_server
echo "Wine session on DISPLAY=$display${monitors:+ (second monitor $monitors)}${ORBI_LOGPIXELS:+ at $ORBI_LOGPIXELS dpi}, prefix $WINEPREFIX"

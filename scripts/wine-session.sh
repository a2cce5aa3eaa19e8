#!/usr/bin/env bash
# Starts or stops the Wine session the tests run in: a virtual X screen, a throw-away prefix with code page 932,
# Japanese fonts and no window manager, and a persistent, warmed-up wineserver.
#   wine-session.sh start [WIDTHxHEIGHT]     wine-session.sh stop
# Other desks:
#   ORBI_MONITORS=right|left|above   a second monitor beside the primary (WIDTHxHEIGHT): right of it (1280x1024,
#                                    larger than the primary), left of it or above it (800x600), through Xephyr
#   ORBI_MONITORS=resizable          one monitor (WIDTHxHEIGHT) whose mode a program can change, through Xephyr
#   ORBI_LOGPIXELS=N                 display scaling: N dots per inch instead of 96
#   wine-session.sh desk [WIDTHxHEIGHT]  the running session's desk made anew as ORBI_MONITORS and ORBI_LOGPIXELS
#                                    now say, in the same prefix (X servers restarted only when the monitors change)
#   wine-session.sh dpi N            the running session's scaling changed to N dpi (its server restarted)
# Before it returns, each command checks that Wine sees the desk asked for (through the keepalive program's list of
# monitors and dpi) and otherwise fails, naming what differs. Tests read ORBI_MONITORS and ORBI_LOGPIXELS from the
# session, so that a test meant for a desk fails, never skips, on another.
set -euo pipefail
# No step may end the script silently.
trap 'echo "wine-session.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR
cmd=${1:-start}
# The desk asked for, read before any session's environment is.
asked_monitors=${ORBI_MONITORS:-}
asked_dpi=${ORBI_LOGPIXELS:-}
here=$(cd "$(dirname "$0")" && pwd)
ORBI_WINE_DIR=${ORBI_WINE_DIR:-$(dirname "$here")/build/wine}
export ORBI_WINE_DIR
keepalive=${ORBI_KEEPALIVE:-$(dirname "$here")/build/windows/tests/orbi_keepalive.exe}

# The Wine processes and the X servers of the session; the prefix stays.
stop_servers() {
    [ -f "$ORBI_WINE_DIR/keepalive.pid" ] && kill "$(cat "$ORBI_WINE_DIR/keepalive.pid")" 2>/dev/null || true
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w
    rm -f "$ORBI_WINE_DIR/keepalive.pid"
}
stop_x() {
    [ -f "$ORBI_WINE_DIR/xephyr.pid" ] && kill "$(cat "$ORBI_WINE_DIR/xephyr.pid")" 2>/dev/null || true
    [ -f "$ORBI_WINE_DIR/xvfb.pid" ] && kill "$(cat "$ORBI_WINE_DIR/xvfb.pid")" 2>/dev/null || true
    rm -f "$ORBI_WINE_DIR/xvfb.pid" "$ORBI_WINE_DIR/xephyr.pid"
}
stop() {
    # A test that made a folder read-only with a bind mount and died before undoing it leaves the mount behind.
    { grep -o " $ORBI_WINE_DIR/[^ ]*" /proc/mounts || true; } | sort -r | while read -r m; do umount -l "$m" || true; done
    if [ -f "$ORBI_WINE_DIR/session.env" ]; then
        . "$here/wine-env.sh"
        stop_servers
        stop_x
        rm -f "$ORBI_WINE_DIR/session.env"
    fi
}

# A set-up step Wine fails to start is tried again (up to three times); each retry is listed in restarts.log, which
# scripts/test.sh prints at its end.
wine_step() {
    local try
    for try in 1 2 3; do
        "${WINE_CMD[@]}" "$@" >"$ORBI_WINE_DIR/step.log" 2>&1 && return 0
        echo "$(date +%T) wine-session.sh: wine $1 failed (try $try): $(tail -2 "$ORBI_WINE_DIR/step.log" | tr '\n' ' ')" |
            tee -a "$ORBI_WINE_DIR/restarts.log" >&2
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
    "${WINE_CMD[@]}" cmd /c exit >/dev/null 2>&1 || true
    rm -f "$ORBI_WINE_DIR/desk.txt"
    if [ -f "$keepalive" ]; then
        # Its window brings up the desktop process, which the first test would otherwise start cold, racing it; then
        # it writes the desk it sees.
        setsid "${WINE_CMD[@]}" "$keepalive" "Z:${ORBI_WINE_DIR//\//\\}\\desk.txt" </dev/null >/dev/null 2>&1 &
        echo $! >"$ORBI_WINE_DIR/keepalive.pid"
        for _ in $(seq 400); do [ -e "$ORBI_WINE_DIR/desk.txt" ] && break; sleep 0.05; done
        [ -e "$ORBI_WINE_DIR/desk.txt" ] || echo "the keepalive window did not appear within 20 s" >&2
    fi
}

# The monitors a layout asks for, primary first, in Windows' coordinates: the primary at 0,0.
expected_desk() {
    local w=${1%x*} h=${1#*x}
    echo "monitor 0 0 $w $h primary"
    case $2 in
        right) echo "monitor $w 0 $((w + 1280)) 1024" ;;
        left) echo "monitor -800 0 0 600" ;;
        above) echo "monitor 0 -600 800 0" ;;
    esac
    echo "dpi ${3:-96}"
}
# Wine's view of the desk against the one asked for.
check_desk() {
    local want seen
    if [ ! -f "$keepalive" ]; then
        [ -z "$ORBI_MONITORS$ORBI_LOGPIXELS" ] && return 0
        echo "wine-session.sh: cannot check the desk asked for without $keepalive (build the windows preset)" >&2
        exit 1
    fi
    want=$(expected_desk "$ORBI_DESK_SIZE" "$ORBI_MONITORS" "$ORBI_LOGPIXELS" | sort)
    seen=$(sort "$ORBI_WINE_DIR/desk.txt" 2>/dev/null | tr -d '\r' || true)
    # On the user's own screen only the dpi is the session's doing.
    if [ -n "${ORBI_DISPLAY:-}" ]; then
        want=$(grep '^dpi' <<<"$want")
        seen=$(grep '^dpi' <<<"$seen" || true)
    fi
    [ "$want" = "$seen" ] && return 0
    echo "wine-session.sh: Wine does not see the desk asked for (ORBI_MONITORS=$ORBI_MONITORS," \
        "ORBI_LOGPIXELS=$ORBI_LOGPIXELS, $ORBI_DESK_SIZE):" >&2
    diff <(echo "$want") <(echo "$seen") | grep '^[<>]' | sed 's/^</  asked:/; s/^>/  seen: /' >&2 || true
    exit 1
}

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

# The X screen of the desk ($ORBI_DESK_SIZE, $ORBI_MONITORS): sets display.
start_x() {
    local w=${ORBI_DESK_SIZE%x*} h=${ORBI_DESK_SIZE#*x} heads n m outer args i kind=+xinerama
    case "$ORBI_MONITORS" in
        '') ;;
        # Xinerama heads in Xephyr's order; Wine makes the first the primary unless told otherwise.
        right) heads=("${w}x$h" 0,0 1280x1024 "$w,0") ;;
        left) heads=(800x600 0,0 "${w}x$h" 800,0) ;;
        above) heads=(800x600 0,0 "${w}x$h" 0,600) ;;
        # A resizable Xephyr offers the usual modes (a bare Xvfb only one); the outer screen holds the largest.
        resizable) heads=("${w}x$h" 0,0) kind=-resizeable ;;
        *) echo "ORBI_MONITORS: right, left, above or resizable" >&2; exit 2 ;;
    esac
    if [ -n "${ORBI_DISPLAY:-}" ]; then
        # The user's own screen: no virtual one.
        display=$ORBI_DISPLAY
        return
    fi
    n=$(free_display 90)
    outer=$ORBI_DESK_SIZE
    # Xvfb stacks its own heads at 0,0; Xephyr, run inside a screen large enough for both, places them apart.
    [ -n "$ORBI_MONITORS" ] && outer=2400x1400
    Xvfb ":$n" -screen 0 "${outer}x24" -nolisten tcp >"$ORBI_WINE_DIR/xvfb.log" 2>&1 &
    echo $! >"$ORBI_WINE_DIR/xvfb.pid"
    wait_display "$n" Xvfb
    display=:$n
    if [ -n "$ORBI_MONITORS" ]; then
        m=$(free_display $((n + 1)))
        args=()
        for ((i = 0; i < ${#heads[@]}; i += 2)); do
            # The host window sits where the head does, so that the two never overlap on the outer screen.
            args+=(-origin "${heads[i + 1]}" -screen "${heads[i]}+${heads[i + 1]%,*}+${heads[i + 1]#*,}")
        done
        DISPLAY=:$n Xephyr ":$m" "$kind" "${args[@]}" -nolisten tcp -noreset \
            >"$ORBI_WINE_DIR/xephyr.log" 2>&1 &
        echo $! >"$ORBI_WINE_DIR/xephyr.pid"
        wait_display "$m" Xephyr
        display=:$m
    fi
}

# The desk's monitors in words.
monitors_text() {
    case "$ORBI_MONITORS" in
        '') ;;
        resizable) echo " (one monitor whose mode can change)" ;;
        *) echo " (second monitor $ORBI_MONITORS)" ;;
    esac
}

# What every Wine process of the session reads (scripts/wine-env.sh); a test run may still name another desk.
write_env() {
    cat >"$ORBI_WINE_DIR/session.env" <<ENV
export DISPLAY=$display
export WINEPREFIX=$ORBI_WINE_DIR/prefix
export ORBI_URL_LOG=$ORBI_WINE_DIR/url.log
export ORBI_SESSION_DESK='$ORBI_DESK_SIZE|$ORBI_MONITORS|$display'
export ORBI_MONITORS=\${ORBI_MONITORS-$ORBI_MONITORS}
export ORBI_LOGPIXELS=\${ORBI_LOGPIXELS-$ORBI_LOGPIXELS}
ENV
}

# The registry values the desk needs, all read when the server starts: written with the server down.
desk_registry() {
    local primary=0 xrandr=Y
    # Wine reads Xinerama heads only without XRandR; with the other head first, the second is made the primary.
    # Modes change through XRandR.
    case "$ORBI_MONITORS" in
        right) xrandr=N ;;
        left | above) xrandr=N primary=1 ;;
    esac
    reg 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d "$xrandr"
    reg 'HKCU\Software\Wine\X11 Driver' /v PrimaryMonitor /t REG_SZ /d "$primary"
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${ORBI_LOGPIXELS:-96}"
}

case "$cmd" in
    stop)
        stop
        exit 0
        ;;
    dpi | desk)
        [ -f "$ORBI_WINE_DIR/session.env" ] || { echo "no session in $ORBI_WINE_DIR" >&2; exit 1; }
        IFS='|' read -r old_size old_monitors display <<<"$(. "$ORBI_WINE_DIR/session.env" && echo "$ORBI_SESSION_DESK")"
        if [ "$cmd" = dpi ]; then
            # Only the scaling changes.
            ORBI_DESK_SIZE=$old_size ORBI_MONITORS=$old_monitors ORBI_LOGPIXELS=$2
        else
            ORBI_DESK_SIZE=${2:-$old_size} ORBI_MONITORS=$asked_monitors ORBI_LOGPIXELS=$asked_dpi
        fi
        . "$here/wine-env.sh"
        stop_servers
        if [ "$old_size|$old_monitors" != "$ORBI_DESK_SIZE|$ORBI_MONITORS" ]; then
            stop_x
            start_x
        fi
        write_env
        . "$here/wine-env.sh"
        desk_registry
        "$WINESERVER" -w
        start_server
        check_desk
        echo "Wine session now on DISPLAY=$display$(monitors_text)" \
            "at ${ORBI_LOGPIXELS:-96} dpi"
        exit 0
        ;;
    start) ;;
    *) echo "wine-session.sh start|stop|desk|dpi" >&2; exit 2 ;;
esac

stop
mkdir -p "$ORBI_WINE_DIR"
rm -rf "$ORBI_WINE_DIR/prefix"
ORBI_DESK_SIZE=${2:-1024x768} ORBI_MONITORS=$asked_monitors ORBI_LOGPIXELS=$asked_dpi
start_x
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$ORBI_WINE_DIR/alsa-null.conf"
write_env
. "$here/wine-env.sh"
wine_step wineboot -i
# No window manager: without this every DestroyWindow of a visible window waits about two seconds.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
# Wine does not map the Japanese system faces to an installed font by itself.
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS PGothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$here/record-url.sh"
desk_registry
"$WINESERVER" -w
start_server
check_desk
echo "Wine session on DISPLAY=$display$(monitors_text)" \
    "at ${ORBI_LOGPIXELS:-96} dpi, prefix $WINEPREFIX"

# Sourced by the Wine scripts: where the session keeps its files and the environment every Wine process needs.
ORBI_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORBI_WINE_DIR=${ORBI_WINE_DIR:-$ORBI_ROOT/build/wine}
if [ -f "$ORBI_WINE_DIR/session.env" ]; then
    # shellcheck disable=SC1091
    . "$ORBI_WINE_DIR/session.env"
fi
export WINEPREFIX=${WINEPREFIX:-$ORBI_WINE_DIR/prefix}
export WINEARCH=win64
# Quiet, but for the errors that say why a process could not start (mapping, loading, the server).
export WINEDEBUG=${WINEDEBUG:--all,err+virtual,err+module,err+process,err+thread,err+server,err+seh}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Code page 932: Wine takes the ANSI code page from the Unix locale.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# A null ALSA device gives Wine one wave-out device and working MCI playback on a machine without sound.
if [ -z "${ORBI_NO_SOUND:-}" ]; then
    export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$ORBI_WINE_DIR/alsa-null.conf
fi
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
# wine64 is linked at a fixed address below 2 GB and the kernel puts the heap at random up to 1 GB above it: now and
# then the heap covers 0x7ffe0000, which Wine maps first, and the process dies before its program starts ("failed to
# map the shared user data: c0000018"). Without address randomisation the heap stays right after the loader.
WINE_CMD=("$WINE")
setarch -R true 2>/dev/null && WINE_CMD=(setarch -R "$WINE")
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver64 || command -v wineserver)

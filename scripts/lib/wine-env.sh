# Sourced by the scripts that run Windows programs: a virtual X server when there
# is no display (or when STRAVO_XVFB=1), and a Wine prefix of this run's own.
# Sets DISPLAY, WINEPREFIX, WINEDEBUG, WINE32 and WINE64 (the loaders of 32- and
# 64-bit programs; WINE32 is empty where this machine cannot run 32-bit code);
# stravo_env_cleanup undoes it.

stravo_env_start() { # prefix directory
    export WINEDEBUG=-all LANG=C.UTF-8
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    WINE64=/usr/lib/wine/wine64
    [ -x "$WINE64" ] || WINE64=wine
    # Some machines run no 32-bit code at all: their kernel refuses the 32-bit loader.
    WINE32=wine
    /usr/lib/wine/wine --version >/dev/null 2>&1 || WINE32=
    export WINE32 WINE64
    STRAVO_XVFB_PID=
    if [ -z "${DISPLAY:-}" ] || [ "${STRAVO_XVFB:-0}" = 1 ]; then
        local n=90
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        STRAVO_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
    fi
    export WINEPREFIX=$1
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # The same 64-bit prefix wherever the machine runs 32-bit code or not.
        "$WINE64" wineboot -i >/dev/null 2>&1
        # Without a window manager Wine waits for one at every window it hides.
        "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
}

stravo_env_cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${STRAVO_XVFB_PID:-}" ] && kill "$STRAVO_XVFB_PID" 2>/dev/null || true
}

# Sourced by the scripts that run Windows programs: a virtual X server when there
# is no display (or when STRAVO_XVFB=1), and a Wine prefix of this run's own.
# Sets DISPLAY, WINEPREFIX, WINEDEBUG and LANG; stravo_env_cleanup undoes it.

stravo_env_start() { # prefix directory
    export WINEDEBUG=-all
    export LANG=C.UTF-8
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
}

stravo_env_cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${STRAVO_XVFB_PID:-}" ] && kill "$STRAVO_XVFB_PID" 2>/dev/null || true
}

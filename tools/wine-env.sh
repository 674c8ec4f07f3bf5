# Sourced by the test scripts: a private Wine prefix inside build/x64, with
# the null display driver so windows exist without any X display.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="${WINEPREFIX:-$root/build/x64/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

wine_start() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the Wine prefix $WINEPREFIX"
        "$WINE" wineboot --init </dev/null >/dev/null 2>&1
        # The driver must be chosen before the persistent server below starts
        # the desktop process, which keeps the driver it started with.
        "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        "$WINESERVER" -w
    fi
    # A persistent server, detached from our pipes, so that each test does not
    # pay for starting one. (It refuses when one runs already: fine.)
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 || true
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
    "$WINESERVER" -k </dev/null >/dev/null 2>&1
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
}

#!/bin/sh
# Photographs a window that a Windows program of the test build shows, and
# saves it as a PNG. The program runs under Wine's X11 driver on a private
# Xvfb display, in a Wine prefix of its own (build/x64/wineprefix-x11; the
# test prefix uses the null driver, which draws nothing). The program tells
# when its window is up through the files named by SCREENSHOT_READY and
# SCREENSHOT_DONE (see tests/screenshot/ScreenshotSignal.h).
#
# SCREENSHOT_DPI (default 96) is the system DPI of the prefix while the
# program runs (HKCU\Control Panel\Desktop LogPixels; Wine has one DPI for
# every monitor); SCREENSHOT_SIZE, when set ("WxH"), is the size the window
# must have.
#
# usage: tools/screenshot.sh program.exe picture.png [program arguments...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

if [ $# -lt 2 ]; then
    echo "usage: $0 program.exe picture.png [arguments...]" >&2
    exit 2
fi

if [ -z "${SCREENSHOT_DISPLAY_READY:-}" ]; then
    # Run again inside a fresh X server of our own.
    SCREENSHOT_DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        "$0" "$@"
fi

program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
picture=$2
shift 2
[ -f "$program" ] || { echo "$program: no such program" >&2; exit 1; }

display=$DISPLAY
WINEPREFIX=${SCREENSHOT_WINEPREFIX:-$root/build/x64/wineprefix-x11}
. "$root/tools/wine-env.sh"
export DISPLAY="$display"

work=$(mktemp -d "${TMPDIR:-/tmp}/screenshot.XXXXXX")
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
fi
# Wine's own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption
# buttons): this Wine looks for them in a folder that does not exist, but it
# reads every font in the prefix's Fonts folder.
for font in /usr/share/wine/fonts/*; do
    [ -e "$font" ] || continue
    target="$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")"
    [ -e "$target" ] || ln -s "$font" "$target"
done
"$WINESERVER" -p </dev/null >/dev/null 2>&1
# The dialogs' font, "MS Shell Dlg": Tahoma unless SCREENSHOT_DIALOG_FONT
# names another. Tahoma has no Chinese, Japanese or Korean letters, and
# Wine's edit control, unlike Windows', takes none from another font: a
# picture of such text names one that has them (WenQuanYi Micro Hei).
for face in 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" \
        /d "${SCREENSHOT_DIALOG_FONT:-Tahoma}" /f </dev/null >/dev/null 2>&1
done
# Without a window manager, unmanaged windows close without a stall.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${SCREENSHOT_DPI:-96}" /f \
    </dev/null >/dev/null 2>&1

export SCREENSHOT_READY="Z:$work/ready"
export SCREENSHOT_DONE="Z:$work/done"
"$WINE" "$program" "$@" </dev/null >"$work/output" 2>&1 &
pid=$!

# Wait for the program's signal (or its end).
waited=0
while [ ! -f "$work/ready" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$program ended before its window showed:" >&2
        cat "$work/output" >&2
        exit 1
    fi
    if [ $waited -ge 600 ]; then
        echo "$program showed no window within 60 s" >&2
        exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
done

geometry=$(cat "$work/ready")
mkdir -p "$(dirname "$picture")"
import -window root -crop "$geometry" +repage "$picture"
touch "$work/done"
status=0
wait "$pid" || status=$?
pid=""
if [ $status -ne 0 ]; then
    echo "$program ended with $status" >&2
    cat "$work/output" >&2
    exit 1
fi
size=${geometry%%+*}
if [ -n "${SCREENSHOT_SIZE:-}" ] && [ "$size" != "$SCREENSHOT_SIZE" ]; then
    echo "$picture: the window is $size, not $SCREENSHOT_SIZE" >&2
    exit 1
fi

# A picture of a window has more than a handful of colours.
colours=$(identify -format '%k' "$picture")
if [ "$colours" -lt 8 ]; then
    echo "$picture: only $colours colours, the window was not drawn" >&2
    exit 1
fi
echo "$picture: $(identify -format '%wx%h' "$picture"), $colours colours"

#!/bin/sh
# Runs every test suite of the x86_64 build under Wine, checks the two
# product executables, and runs the Linux suite of the JNI calls against
# the real JDK.
# Prints a summary; exits non-zero when anything failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/x64
. "$root/tools/wine-env.sh"

failures=""
run() {  # name, command...
    name=$1; shift
    echo "== $name"
    if "$@"; then echo "== $name: passed"; else echo "== $name: FAILED"; failures="$failures $name"; fi
}

# Linux Java VMs started by the bridge runtime for this build's tests: each
# must have ended with its launcher. Those left over are reported and ended.
no_bridge_vm_left() {
    marker="-Dbridgejvm.runtime=$root/build/"
    tries=0
    while pgrep -f -- "$marker" >/dev/null; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ]; then
            echo "Java VMs of the bridge runtime still running:"
            pgrep -af -- "$marker"
            for pid in $(pgrep -f -- "$marker"); do kill -9 "$pid" 2>/dev/null; done
            return 1
        fi
        sleep 0.1
    done
}

run "layers of the product's folders" "$root/tools/check-layers.py" "$root"
wine_start
run "suites under Wine" ctest --test-dir "$build" --output-on-failure
run "no Java VM of the bridge runtime left" no_bridge_vm_left
run "product format (32-bit)" "$root/tools/check-product.sh" "$root/build/i686/launcher.exe" i686
run "product format (64-bit)" "$root/tools/check-product.sh" "$root/build/x86_64/launcher.exe" x86_64
run "console twin format (32-bit)" "$root/tools/check-product.sh" "$root/build/i686/launcher-console.exe" i686
run "console twin format (64-bit)" "$root/tools/check-product.sh" "$root/build/x86_64/launcher-console.exe" x86_64
run "explain format (i686)" "$root/tools/check-explain.sh" "$root/build/i686/explain.exe" i686
run "explain format (x86_64)" "$root/tools/check-explain.sh" "$root/build/x86_64/explain.exe" x86_64
run "explain format (x86_64 test build)" "$root/tools/check-explain.sh" "$build/bin/explain.exe" x86_64
run "stamp format (i686)" "$root/tools/check-explain.sh" "$root/build/i686/stamp.exe" i686
run "stamp format (x86_64)" "$root/tools/check-explain.sh" "$root/build/x86_64/stamp.exe" x86_64
run "stamp format (x86_64 test build)" "$root/tools/check-explain.sh" "$build/bin/stamp.exe" x86_64
wine_stop
run "JNI calls against the real JDK (Linux)" ctest --test-dir "$root/build/native" --output-on-failure
# Pictures of the dialogs, taken under Xvfb at 100 % and 200 %, to look at:
# build/screenshots. The programs check what they show (the exception's text
# read back in UTF-16, the link's whole address in its text and tooltip),
# and the splash window's size follows the DPI.
for dpi in 96 192; do
    run "screenshot of the Java Exception dialog at $dpi DPI" env SCREENSHOT_DPI=$dpi \
        SCREENSHOT_DIALOG_FONT="WenQuanYi Micro Hei" "$root/tools/screenshot.sh" \
        "$build/bin/exception_dialog_shot.exe" "$root/build/screenshots/exception-dialog-$dpi.png"
    run "screenshot of the JRE Not Found dialog at $dpi DPI" env SCREENSHOT_DPI=$dpi "$root/tools/screenshot.sh" \
        "$build/bin/jre_not_found_shot.exe" "$root/build/screenshots/jre-not-found-$dpi.png"
    run "screenshot of the splash window at $dpi DPI" env SCREENSHOT_DPI=$dpi \
        SCREENSHOT_SIZE="$((320 * dpi / 96))x$((200 * dpi / 96))" "$root/tools/screenshot.sh" \
        "$build/bin/splash_window_shot.exe" "$root/build/screenshots/splash-window-$dpi.png" \
        "Z:$root/tests/data/splash-320x200.jpg"
done
# A few seconds of each fuzz target (make fuzz runs them for real).
run "fuzz smoke run" "$root/tools/fuzz.sh" --smoke

echo
if [ -n "$failures" ]; then
    echo "FAILED:$failures"
    exit 1
fi
echo "all tests passed"

#!/bin/sh
# make demo: the x86_64 launcher, renamed MyApp.exe, runs the sample
# application of demo/ under Wine in build/demo, beside a Java runtime that
# runs real Java; then the exit code and the application's output.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/x64/bin
app=$root/build/demo
. "$root/tools/wine-env.sh"

# --- The Java runtime ------------------------------------------------------
# The bridge runtime (bridgejvm/README.md), shipped beside the executable as
# jre\: its jvm.dll runs real Java in the Linux JDK of this machine, started
# with the options the launcher built.
install_runtime() {
    "$root/tools/lay-out-bridge-runtime.sh" "$app/jre"
}
# ---------------------------------------------------------------------------

# The application's classes, compiled from demo/src into a jar of lib\.
build_application() {
    classes=$root/build/demo-classes
    rm -rf "$classes"
    mkdir -p "$classes" "$app/lib"
    javac -d "$classes" $(find "$root/demo/src" -name '*.java')
    jar cf "$app/lib/hello.jar" -C "$classes" .
}

# The application folder: the launcher under its new name, its settings and
# its jars.
rm -rf "$app"
mkdir -p "$app"
cp "$bin/launcher.exe" "$app/MyApp.exe"
cp "$root/demo/MyApp.ini" "$app/"
build_application
install_runtime

wine_start
echo "== build/demo/MyApp.exe \"first argument\" second   (under Wine)"
set +e
(cd "$app" && timeout 60 "$WINE" MyApp.exe "first argument" second)
code=$?
set -e
wine_stop

echo "== exit code: $code"
echo "== the application's output (build/demo/output.txt)"
sed 's/^/  /; s/\r$//' "$app/output.txt"
[ "$code" -eq 0 ]

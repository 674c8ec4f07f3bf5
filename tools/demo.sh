#!/bin/sh
# make demo: the x86_64 launcher, stamped as MyApp.exe with the demo
# application's icon and version information, runs the sample application of
# demo/ under Wine in build/demo, beside a Java runtime that runs real Java;
# then the executable's version information, the exit code and the
# application's output. Then the console launcher, as Count.exe, runs the
# demo's command-line program with text on its standard input, and its
# standard output, standard error and exit code are shown.
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

# The application's own executable: a copy of the launcher with the demo's
# icon (drawn by tools/make-demo-icon.py) and version information.
stamp_executable() {
    python3 "$root/tools/make-demo-icon.py" "$root/build/demo-icon.ico"
    (cd "$root/build" && "$WINE" x64/bin/stamp.exe x64/bin/launcher.exe demo/MyApp.exe \
        --icon demo-icon.ico --file-version 1.2.0 --product-version "1.2 (demo)" \
        --product-name "Hello Demo" --company "Example Company" \
        --description "Hello demo application" --copyright "Copyright (C) 2024 Example Company")
    echo "== stamp --show build/demo/MyApp.exe"
    (cd "$app" && "$WINE" ../x64/bin/stamp.exe --show MyApp.exe) | sed 's/\r$//'
}

# The application folder: the stamped launcher, its settings and its jars.
rm -rf "$app"
mkdir -p "$app"
cp "$root/demo/MyApp.ini" "$root/demo/Count.ini" "$app/"
cp "$bin/launcher-console.exe" "$app/Count.exe"
build_application
install_runtime

wine_start
stamp_executable
echo "== build/demo/MyApp.exe \"first argument\" second   (under Wine)"
set +e
(cd "$app" && timeout 60 "$WINE" MyApp.exe "first argument" second)
code=$?
echo "== build/demo/Count.exe 3 < input.txt   (the console launcher, under Wine)"
printf 'the quick brown fox\r\njumps over\r\n' >"$app/input.txt"
(cd "$app" && timeout 60 "$WINE" Count.exe 3 <input.txt >count-out.txt 2>count-err.txt)
countCode=$?
set -e
wine_stop

echo "== exit code: $code"
echo "== the application's output (build/demo/output.txt)"
sed 's/^/  /; s/\r$//' "$app/output.txt"
echo "== Count.exe: standard output"
sed 's/^/  /; s/\r$//' "$app/count-out.txt"
echo "== Count.exe: standard error"
sed 's/^/  /; s/\r$//' "$app/count-err.txt"
echo "== Count.exe: exit code $countCode"
[ "$code" -eq 0 ] && [ "$countCode" -eq 3 ]

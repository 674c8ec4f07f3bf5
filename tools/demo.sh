#!/bin/sh
# make demo: the x86_64 launcher, renamed MyApp.exe, runs the sample
# application of demo/ under Wine in build/demo, beside a Java runtime; then
# the exit code, the application's output and what the runtime saw.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/x64/bin
app=$root/build/demo
. "$root/tools/wine-env.sh"

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# --- The Java runtime ------------------------------------------------------
# The test runtime (testjvm/README.md), shipped beside the executable as
# jre\: bin\java.dll marks a runtime, bin\client\jvm.dll is its JVM library.
# It runs the script classes of demo/lib and traces what the launcher asks.
install_runtime() {
    mkdir -p "$app/jre/bin/client"
    : >"$app/jre/bin/java.dll"
    cp "$bin/testjvm.dll" "$app/jre/bin/client/jvm.dll"
    TESTJVM_TRACE=$(windows_path "$app/trace.txt")
    export TESTJVM_TRACE
}

# The VM options, main's arguments and the variables the application read,
# from the trace.
show_runtime_view() {
    awk -F '\t' '
        function value(field) { v = substr(field, index(field, "=") + 1); gsub(/\\\\/, "\\", v); return v }
        function key(field) { return substr(field, 1, index(field, "=") - 1) }
        $1 == "create" { print "== VM options the launcher built"
            for (i = 2; i <= NF; i++) if (key($i) ~ /^option[0-9]+$/) print "  " value($i) }
        $1 == "call" && $0 ~ /\tmethod=main\t/ { print "== arguments of main"
            for (i = 2; i <= NF; i++) if (key($i) ~ /^arg[0-9]+$/) print "  " value($i) }
        $1 == "env" { name = ""; val = "(not set)"
            for (i = 2; i <= NF; i++) { if (key($i) == "name") name = value($i); if (key($i) == "value") val = value($i) }
            print "== the application read " name; print "  " val }
    ' "$app/trace.txt"
}
# ---------------------------------------------------------------------------

# The application folder: the launcher under its new name, its settings and
# its jars.
rm -rf "$app"
mkdir -p "$app"
cp "$bin/launcher.exe" "$app/MyApp.exe"
cp -R "$root/demo/." "$app/"
install_runtime

wine_start
echo "== build/demo/MyApp.exe \"first argument\" second   (under Wine)"
set +e
(cd "$app" && timeout 60 "$WINE" MyApp.exe "first argument" second)
code=$?
set -e
wine_stop

echo "== exit code: $code"
show_runtime_view
echo "== the application's output (build/demo/output.txt)"
sed 's/^/  /; s/\r$//' "$app/output.txt"
[ "$code" -eq 0 ]

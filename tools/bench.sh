#!/bin/sh
# make bench: what the launcher costs the application it starts, measured
# under Wine on this machine. Prints a table; never fails on timing.
#
# - Start-up: the time from the creation of the process to JNI_CreateJavaVM
#   and to main being entered, as the test runtime measures it inside the
#   process (the "time" and "process-start" fields of its trace events), for
#   the x86_64 launcher with a typical settings file, and for
#   minimal_loader.exe, which only loads the same JVM library, creates the
#   VM with the same options and calls main, and for minimal_gui_loader.exe,
#   the same with user32 loaded first (as the launcher must: WinMain calls
#   DefWindowProcA), which shows what user32's start-up costs under Wine.
#   Each round runs every program once, in turn, and starts with the next one
#   (launcher, loader, GUI loader; then loader, GUI loader, launcher; ...), so
#   that neither a drift of the machine nor the program run before favours
#   one; medians, and the median and interquartile range of the round's
#   ratio launcher / GUI loader. And how often a launch reads its settings
#   file: the opens of it in Wine's trace of file calls (WINEDEBUG=+file).
# - Runtime discovery: the launcher's time to JNI_CreateJavaVM with 10, 100
#   and 1,000 registered runtimes, half of them under a key of today's
#   installers, each count in a Wine prefix of its own, the runs interleaved.
# - Class data sharing with real Java: the time from the launcher's start to
#   main through the bridge runtime (OpenJDK 17 on Linux), for a program
#   that loads some 2,500 classes before main (tests/bench/java, with 1,000
#   classes of its own generated here), without "Class Data Sharing" and
#   with it (from the second launch on: the archive is mapped), runs
#   alternating; medians. With Java 25 (when its bridge runtime was made):
#   without sharing, with the dynamic archive and with the ahead-of-time
#   cache, in rotated rounds, and how long the first launch of each takes to
#   end (making the archive, or training and making the cache).
# - The product executables' sizes and import tables.
#
# Usage: bench.sh [RUNS [LAUNCHER]]   (RUNS per measurement, default 21;
# LAUNCHER, e.g. an older build, is measured beside build/x86_64/launcher.exe
# in the same rounds of the start-up measurement)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-21}
launcher=$root/build/x86_64/launcher.exe
other=${2:-}
bin=$root/build/x64/bin
work=$root/build/bench
# A prefix of its own: the runtimes registered here never meet the tests.
export WINEPREFIX=$work/wineprefix
. "$root/tools/wine-env.sh"

bridge=$root/build/x64/bridge-runtime
for f in "$launcher" ${other:+"$other"} "$bin/minimal_loader.exe" "$bin/minimal_gui_loader.exe" "$bin/testjvm.dll" \
    "$bridge/bin/client/jvm.dll" "$bridge/release"; do
    [ -f "$f" ] || { echo "bench: $f is missing (make product tests)"; exit 1; }
done

# The Windows form of a path of this machine (Wine maps / to drive Z:).
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# --- The application: a launcher with a typical settings file -------------
app=$work/app
rm -rf "$app" "$work/jre"
mkdir -p "$app/lib"
cp "$launcher" "$app/MyApp.exe"
[ -n "$other" ] && cp "$other" "$app/Other.exe"
cp "$bin/minimal_loader.exe" "$bin/minimal_gui_loader.exe" "$app/"
for i in $(seq -w 1 20); do
    printf '#testjvm-jar\nclass com/example/Library%s\n' "$i" >"$app/lib/library$i.jar"
done
printf '#testjvm-jar\nclass com/example/Main\nmain\n' >>"$app/lib/library20.jar"
cat >"$app/MyApp.ini" <<'EOF'
[Product Information]
Product Name=My App
Product Code=1.0

[Java Runtime Environment]
Main Class=com.example.Main
Minimum Version=1.5
Virtual Machine Parameters=-Xmx25:64:1024P -Xss1m -Dapp.name=MyApp

[Application]
Failure Check=Yes

[Class Path]
Class Path=\lib\*.jar
EOF
[ -n "$other" ] && cp "$app/MyApp.ini" "$app/Other.ini"

# Ten runtime folders, each with its own copy of the test runtime.
for i in $(seq 10 19); do
    mkdir -p "$work/jre/1.6.0_$i/bin/client"
    ln -f "$bin/testjvm.dll" "$work/jre/1.6.0_$i/bin/client/jvm.dll" 2>/dev/null ||
        cp "$bin/testjvm.dll" "$work/jre/1.6.0_$i/bin/client/jvm.dll"
done

key='HKEY_LOCAL_MACHINE\Software\JavaSoft'
unregister() { "$WINE" reg delete "$key" /f </dev/null >/dev/null 2>&1; }
# Registers COUNT Sun runtimes, versions 1.6.0_10 and up, their homes taken
# in turn from the ten folders.
register() {
    unregister
    {
        printf 'REGEDIT4\n\n'
        i=0
        while [ "$i" -lt "$1" ]; do
            home=$(winpath "$work/jre/1.6.0_$((10 + i % 10))" | sed 's/\\/\\\\/g')
            printf '[%s\\Java Runtime Environment\\1.6.0_%d]\n"JavaHome"="%s"\n\n' "$key" $((10 + i)) "$home"
            i=$((i + 1))
        done
    } >"$work/runtimes.reg"
    "$WINE" reg import "$(winpath "$work/runtimes.reg")" </dev/null >/dev/null 2>&1
}

trace=$work/trace.txt
export TESTJVM_TRACE
TESTJVM_TRACE=$(winpath "$trace")

# Milliseconds from process start to the first EVENT of the trace.
since_start() {
    awk -F '\t' -v event="$1" '
        $1 == event {
            for (i = 2; i <= NF; i++) {
                eq = index($i, "=")
                value[substr($i, 1, eq - 1)] = substr($i, eq + 1)
            }
            printf "%.2f\n", (value["time"] - value["process-start"]) / 10000
            exit
        }' "$trace"
}

# Runs one program; appends its two times to FILE.create and FILE.call.
sample() {
    out=$1; shift
    rm -f "$trace"
    "$WINE" "$@" </dev/null >/dev/null 2>&1
    c=$(since_start create); m=$(since_start call)
    if [ -z "$c" ] || [ -z "$m" ]; then
        echo "bench: $* did not reach main (trace: $trace)"; cat "$trace"; return 1
    fi
    echo "$c" >>"$out.create"; echo "$m" >>"$out.call"
}

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# "median (first quartile-third quartile)" of FILE, interpolated.
quartiles() {
    sort -n "$1" | awk '
        function q(p,  h, i) { h = (NR - 1) * p + 1; i = int(h); return v[i] + (h - i) * (v[i + 1] - v[i]) }
        { v[NR] = $1 }
        END { printf "%.2f (%.2f-%.2f)", q(0.5), q(0.25), q(0.75) }'
}

# The opens of the executable's settings file that Wine's trace of file
# calls shows during one launch of it: each read of the file opens it.
settings_reads() {
    name=$(basename "$1" .exe)
    WINEDEBUG=trace+file "$WINE" "$1" </dev/null 2>&1 >/dev/null |
        grep -c "trace:file:CreateFileW L\".*\\\\$name\.ini\""
}

# The value of KEY in the first EVENT of the trace. Trace values escape a
# backslash as two; these values hold no other escapes.
field() {
    awk -F '\t' -v event="$1" -v key="$2" '
        $1 == event { for (i = 2; i <= NF; i++) if (index($i, key "=") == 1) { print substr($i, length(key) + 2); exit } }' "$trace" |
        sed 's/\\\\/\\/g'
}

cleanup() { unregister; exec 3>&-; wine_stop; }
wine_start
trap cleanup EXIT
trap 'exit 1' INT TERM
# On Windows the desktop always exists. Wine starts a process for it when a
# program first uses windows and ends it with the last program of the
# prefix, which would charge every launch for that start. An idle process
# keeps it for the whole measurement; it reads from a pipe that this script
# holds open and ends when the script does.
rm -f "$work/hold"
mkfifo "$work/hold"
"$WINE" cmd /c pause <"$work/hold" >/dev/null 2>&1 &
exec 3>"$work/hold"

# --- Start-up: launcher against the minimal loader ------------------------
register 10
# One launch first: it warms the file cache and tells which library the
# launcher loads and which options it gives the VM; the loader gets the same.
rm -f "$trace"
"$WINE" "$app/MyApp.exe" </dev/null >/dev/null 2>&1
jvm=$(field load module)
count=$(field create options)
[ -n "$jvm" ] && [ -n "$count" ] || { echo "bench: the launcher did not create a VM"; cat "$trace"; exit 1; }
set --
i=0
while [ "$i" -lt "$count" ]; do
    set -- "$@" "$(field create "option$i")"
    i=$((i + 1))
done
"$WINE" "$app/minimal_loader.exe" "$jvm" com/example/Main "$@" </dev/null >/dev/null 2>&1

rm -f "$work"/*.create "$work"/*.call
programs="launcher${other:+ other} loader gui-loader"
n=0
while [ "$n" -lt "$runs" ]; do
    # This round's order: the programs starting with the n-th, round robin.
    for program in $(echo $programs | awk -v n="$n" '{ for (i = 0; i < NF; i++) print $((n + i) % NF + 1) }'); do
        case $program in
        launcher) sample "$work/launcher" "$app/MyApp.exe" ;;
        other) sample "$work/other" "$app/Other.exe" ;;
        *) sample "$work/$program" "$app/minimal_$(echo "$program" | tr - _).exe" "$jvm" com/example/Main "$@" ;;
        esac || exit 1
    done
    n=$((n + 1))
done
# Each round's ratio to the GUI loader (the files hold one line a round).
for program in launcher ${other:+other}; do
    paste "$work/$program.create" "$work/gui-loader.create" | awk '{ print $1 / $2 }' >"$work/$program.ratio"
done
reads=$(settings_reads "$app/MyApp.exe")
[ -n "$other" ] && other_reads=$(settings_reads "$app/Other.exe")

# --- Runtime discovery ----------------------------------------------------
# Each count of registered runtimes has a Wine prefix of its own, registered
# once, and the runs go round the three in turn, each time starting with the
# next: a drift of the machine during the run then shows in every count alike
# instead of as a cost of one. Half of the runtimes are registered under the
# key of before Java 9, half under Temurin's (Java 9+ homes), and the
# launcher searches both ("VM Provider" openjdk).
unregister
for i in $(seq 0 9); do
    mkdir -p "$work/jre11/11.0.$i/bin/server"
    ln -f "$bin/testjvm.dll" "$work/jre11/11.0.$i/bin/server/jvm.dll" 2>/dev/null ||
        cp "$bin/testjvm.dll" "$work/jre11/11.0.$i/bin/server/jvm.dll"
done
cp "$app/MyApp.exe" "$app/Discovery.exe"
sed 's/^Minimum Version=1.5/Minimum Version=1.5\nVM Provider=openjdk/' "$app/MyApp.ini" >"$app/Discovery.ini"
counts="10 100 1000"
register_mixed() {  # COUNT, into the current prefix
    {
        printf 'REGEDIT4\n\n'
        i=0
        while [ "$i" -lt "$1" ]; do
            if [ $((i % 2)) -eq 0 ]; then
                home=$(winpath "$work/jre/1.6.0_$((10 + i % 10))" | sed 's/\\/\\\\/g')
                printf '[%s\\Java Runtime Environment\\1.6.0_%d]\n"JavaHome"="%s"\n\n' "$key" $((10 + i)) "$home"
            else
                home=$(winpath "$work/jre11/11.0.$((i % 10))" | sed 's/\\/\\\\/g')
                printf '[HKEY_LOCAL_MACHINE\\Software\\Eclipse Adoptium\\JDK\\11.0.%d.1\\hotspot\\MSI]\n"Path"="%s"\n\n' "$i" "$home"
            fi
            i=$((i + 1))
        done
    } >"$work/runtimes.reg"
    "$WINE" reg delete "$key" /f </dev/null >/dev/null 2>&1
    "$WINE" reg delete 'HKEY_LOCAL_MACHINE\Software\Eclipse Adoptium' /f </dev/null >/dev/null 2>&1
    "$WINE" reg import "$(winpath "$work/runtimes.reg")" </dev/null >/dev/null 2>&1
}
main_prefix=$WINEPREFIX
for count in $counts; do
    export WINEPREFIX=$work/discovery-$count
    wine_start
    "$WINE" cmd /c pause <"$work/hold" >/dev/null 2>&1 &
    register_mixed "$count"
done
n=0
while [ "$n" -lt "$runs" ]; do
    case $((n % 3)) in 0) order="10 100 1000" ;; 1) order="100 1000 10" ;; 2) order="1000 10 100" ;; esac
    for count in $order; do
        export WINEPREFIX=$work/discovery-$count
        sample "$work/discovery$count" "$app/Discovery.exe" || exit 1
    done
    n=$((n + 1))
done
for count in $counts; do WINEPREFIX=$work/discovery-$count wine_stop; done
export WINEPREFIX=$main_prefix
unregister

# --- Class data sharing with real Java ------------------------------------
# The program: tests/bench/java and its 1,000 generated classes, compiled
# with the JDK the bridge runtime runs.
jdk_bin=$(dirname "$(sed -n 's/^Java=//p' "$bin/bridgejvm.ini")")
rj=$work/realjava
rm -rf "$rj" "$work/realjava-src"
mkdir -p "$work/realjava-src/bench"
i=0
while [ "$i" -lt 1000 ]; do
    n=$(printf '%04d' "$i")
    printf 'package bench;\nclass C%s {\n    static int value = compute(%d);\n    static int compute(int x) {\n        int s = 0;\n        for (int i = 0; i < x %% 7 + 3; i++) s += i * %d ^ (s >>> 3);\n        return s;\n    }\n    int add(int a, Object o) { return o instanceof String ? a + ((String) o).length() : a - value; }\n    String name() { return "C%s" + value; }\n}\n' \
        "$n" "$i" "$i" "$n" >"$work/realjava-src/bench/C$n.java"
    i=$((i + 1))
done
"$jdk_bin/javac" --release 17 -d "$work/realjava-src/classes" "$root/tests/bench/java/bench/Start.java" \
    "$work/realjava-src"/bench/*.java &&
    "$jdk_bin/jar" --create --file "$work/realjava-src/start.jar" -C "$work/realjava-src/classes" . ||
    { echo "bench: the real-Java program did not compile"; exit 1; }
local_data=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)
rm -rf "$local_data/Launcher Bench"

# An application folder DIR with the program, the runtime RUNTIME as its
# jre\, and an executable for each further NAME (its settings: "Class Data
# Sharing=Yes" unless the name starts with Off; its files under the product
# code NAME).
app_folder() {
    mkdir -p "$1/lib"
    cp "$work/realjava-src/start.jar" "$1/lib/"
    cp -r "$2" "$1/jre"
    dir=$1
    shift 2
    for name; do
        cp "$launcher" "$dir/$name.exe"
        printf '[Product Information]\r\nProduct Name=Launcher Bench\r\nProduct Code=%s\r\n[Java Runtime Environment]\r\nMain Class=bench.Start\r\n' "$name" >"$dir/$name.ini"
        case "$name" in Off*) ;; *) printf 'Class Data Sharing=Yes\r\n' >>"$dir/$name.ini" ;; esac
        # The VM of the bridge runtime writes System.out to the launcher's
        # standard output only when a Windows process gave it one.
        printf '[Class Path]\r\nClass Path=\\lib\\*.jar\r\n[Application]\r\nOutput File=%s.txt\r\n' "$name" >>"$dir/$name.ini"
    done
}
app_folder "$rj/17" "$bridge" Off On
bridge25=$root/build/x64/bridge-runtime-25
java25=
if [ -f "$bridge25/bin/client/jvm.dll" ]; then
    java25=yes
    app_folder "$rj/25" "$bridge25" Off25 Cache25
    # Without java.exe the launcher gives Java 25 the dynamic archive.
    app_folder "$rj/25-dynamic" "$bridge25" Archive25
    rm -f "$rj/25-dynamic/jre/bin/java.exe"
fi

# Runs DIR/NAME.exe; appends its milliseconds from start to main to FILE,
# and from start to the end of the process to FILE.exit.
to_main() {
    rm -f "$2/$3.txt"
    started=$(date +%s%3N)
    (cd "$2" && "$WINE" "$2/$3.exe" </dev/null >/dev/null 2>&1)
    ended=$(date +%s%3N)
    line=$(grep '^main ' "$2/$3.txt" 2>/dev/null)
    [ -n "$line" ] || { echo "bench: $3.exe did not reach main"; return 1; }
    case "$line" in *"mapped=$4"*) ;; *) echo "bench: $3.exe: $line (expected mapped=$4)"; return 1 ;; esac
    echo "$line" | awk -v s="$started" '{ print $2 - s }' >>"$1"
    echo $((ended - started)) >>"$1.exit"
}
rm -f "$work"/sharing-*
# The first launch with sharing makes the archive; one launch of each warms
# the file cache.
to_main /dev/null "$rj/17" Off false && to_main /dev/null "$rj/17" On false && to_main /dev/null "$rj/17" On true || exit 1
n=0
while [ "$n" -lt "$runs" ]; do
    to_main "$work/sharing-off.main" "$rj/17" Off false || exit 1
    to_main "$work/sharing-on.main" "$rj/17" On true || exit 1
    n=$((n + 1))
done
if [ -n "$java25" ]; then
    # The first launch of each kind, which makes the archive or trains and
    # makes the cache, against a launch without sharing: from start to exit,
    # each made anew (its files removed) five times, interleaved.
    n=0
    while [ "$n" -lt 5 ]; do
        rm -rf "$local_data/Launcher Bench/Archive25" "$local_data/Launcher Bench/Cache25"
        to_main "$work/sharing-first-off25" "$rj/25" Off25 false &&
            to_main "$work/sharing-first-archive25" "$rj/25-dynamic" Archive25 false &&
            to_main "$work/sharing-first-cache25" "$rj/25" Cache25 false || exit 1
        n=$((n + 1))
    done
    to_main /dev/null "$rj/25-dynamic" Archive25 true && to_main /dev/null "$rj/25" Cache25 true || exit 1
    # Then each round runs the three, starting with the next.
    n=0
    while [ "$n" -lt "$runs" ]; do
        for k in 0 1 2; do
            case $(((n + k) % 3)) in
            0) to_main "$work/sharing-off25.main" "$rj/25" Off25 false ;;
            1) to_main "$work/sharing-archive25.main" "$rj/25-dynamic" Archive25 true ;;
            2) to_main "$work/sharing-cache25.main" "$rj/25" Cache25 true ;;
            esac || exit 1
        done
        n=$((n + 1))
    done
fi

# --- Report ---------------------------------------------------------------
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
more() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f", a - b }'; }
bc=$(median "$work/loader.create"); bm=$(median "$work/loader.call")
gc=$(median "$work/gui-loader.create"); gm=$(median "$work/gui-loader.call")
echo
echo "Start-up under Wine: milliseconds from process start, median of $runs rounds, each running"
echo "the programs in turn, starting with the next ($(echo $programs | sed 's/ / - /g'), then the next ...)"
echo "(settings: class path \\lib\\*.jar over 20 jars, -Xmx25:64:1024P, 10 registered runtimes)"
printf '  %-44s %20s %10s\n' "" "to JNI_CreateJavaVM" "to main"
printf '  %-44s %20.1f %10.1f\n' "minimal loader" "$bc" "$bm"
printf '  %-44s %20.1f %10.1f\n' "minimal loader with user32" "$gc" "$gm"
# The figures of a launcher: FILE (its samples), LABEL, READS.
launcher_rows() {
    c=$(median "$work/$1.create"); m=$(median "$work/$1.call")
    printf '  %-44s %20.1f %10.1f\n' "$2" "$c" "$m"
    printf '  %-44s %20s %10s\n' "  / minimal loader" "$(ratio "$c" "$bc")" "$(ratio "$m" "$bm")"
    printf '  %-44s %20s %10s\n' "  / minimal loader with user32" "$(ratio "$c" "$gc")" "$(ratio "$m" "$gm")"
    printf '  %-44s %20s\n' "    each round's: median (quartiles)" "$(quartiles "$work/$1.ratio")"
    printf '  %-44s %20s %10s\n' "  own time (against user32 loader)" "$(more "$c" "$gc")" "$(more "$m" "$gm")"
    printf '  %-44s %20s\n' "  reads of its settings file in a launch" "$3"
}
launcher_rows launcher "launcher (x86_64)" "$reads"
[ -n "$other" ] && launcher_rows other "launcher given: $(basename "$other")" "$other_reads"
printf '  %-44s %20s %10s\n' "user32's start-up (user32 loader - loader)" "$(more "$gc" "$bc")" "$(more "$gm" "$bm")"
echo
echo "Runtime discovery: launcher, milliseconds to JNI_CreateJavaVM, median of $runs runs, the counts"
echo "interleaved (half the runtimes under the key of before Java 9, half under Temurin's)"
printf '  %-28s %10s %22s\n' "registered runtimes" "time" "more than with 10"
d10=$(median "$work/discovery10.create")
printf '  %-28s %10.1f %22s\n' 10 "$d10" ""
for count in 100 1000; do
    d=$(median "$work/discovery$count.create")
    printf '  %-28s %10.1f %22s\n' "$count" "$d" \
        "$(awk -v a="$d" -v b="$d10" -v n="$count" 'BEGIN { printf "%+.1f (%.3f per runtime)", a - b, (a - b) / (n - 10) }')"
done

echo
so=$(median "$work/sharing-off.main"); sn=$(median "$work/sharing-on.main")
echo "Class data sharing, real Java (OpenJDK 17 through the bridge runtime): milliseconds"
echo "from the launcher's start to main, median of $runs interleaved runs"
echo "(a program that loads about 2,500 classes before main, 1,000 of them its own)"
printf '  %-44s %10.0f\n' "without \"Class Data Sharing\"" "$so"
printf '  %-44s %10.0f\n' "with it (the archive mapped)" "$sn"
printf '  %-44s %10s\n' "ratio" "$(ratio "$so" "$sn")"
if [ -n "$java25" ]; then
    o=$(median "$work/sharing-off25.main"); a=$(median "$work/sharing-archive25.main"); c=$(median "$work/sharing-cache25.main")
    echo "Java 25 through the bridge runtime, the same program, medians of $runs rounds, each running the three"
    echo "in turn, starting with the next"
    printf '  %-44s %10.0f\n' "without \"Class Data Sharing\"" "$o"
    printf '  %-44s %10.0f\n' "the dynamic archive (no java.exe)" "$a"
    printf '  %-44s %10.0f\n' "the ahead-of-time cache" "$c"
    printf '  %-44s %10s   (goal: at least 1.5)\n' "ratio without / cache" "$(ratio "$o" "$c")"
    printf '  %-44s %10s   (goal: at least 1.1)\n' "ratio dynamic archive / cache" "$(ratio "$a" "$c")"
    echo "  goal $(awk -v o="$o" -v a="$a" -v c="$c" 'BEGIN { print (o / c >= 1.5 && a / c >= 1.1) ? "met" : "not met" }')"
    fo=$(median "$work/sharing-first-off25.exit"); fa=$(median "$work/sharing-first-archive25.exit")
    fc=$(median "$work/sharing-first-cache25.exit")
    echo "The first launch, milliseconds from start to the end of the process, median of 5 (interleaved;"
    echo "the archive or cache made anew each time)"
    printf '  %-44s %10.0f\n' "without \"Class Data Sharing\"" "$fo"
    printf '  %-44s %10.0f   (%s times)\n' "making the dynamic archive" "$fa" "$(ratio "$fa" "$fo")"
    printf '  %-44s %10.0f   (%s times)\n' "training and making the cache" "$fc" "$(ratio "$fc" "$fo")"
else
    echo "Java 25: no bridge runtime for it ($bridge25 is missing: no JDK at /usr/lib/jvm/temurin-25-jdk-amd64)"
fi

echo
echo "Product executables"
for arch in i686 x86_64; do
    exe=$root/build/$arch/launcher.exe
    [ -f "$exe" ] || { printf '  %-28s missing\n' "build/$arch/launcher.exe"; continue; }
    printf '  %-28s %8d bytes\n' "build/$arch/launcher.exe" "$(stat -c %s "$exe")"
    "$arch-w64-mingw32-objdump" -p "$exe" | awk '
        /^[[:space:]]*DLL Name: / { dll = $3; order[++n] = dll; next }
        dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ { count[dll]++ }
        /^The / { dll = "" }
        END { for (i = 1; i <= n; i++) printf "      imports %-14s %3d functions\n", order[i], count[order[i]] }'
    delayed=$(grep -o 'lib[a-z0-9]*_delay\.a' "$root/build/$arch/launcher.map" | sed 's/^lib//; s/_delay\.a$/.dll/' | sort -u | tr '\n' ' ')
    [ -n "$delayed" ] && printf '      delay-loaded: %s\n' "$delayed"
done
exit 0

#!/bin/sh
# Builds the fuzz targets (tests/fuzz) and runs each of them twice: stepping
# text one byte a character, then as a double-byte code page does.
#   tools/fuzz.sh [seconds]          a real run (default 60 s per run); inputs
#                                    that reach new code are added to
#                                    tests/fuzz/corpus
#   tools/fuzz.sh --smoke [seconds]  a short check (default 2 s per run); the
#                                    corpus in the repository is only read
# Exits non-zero on any finding; the input is kept under build/fuzz/findings.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
smoke=0
[ "${1:-}" = --smoke ] && { smoke=1; shift; }
seconds=${1:-$([ $smoke = 1 ] && echo 2 || echo 60)}
build=$root/build/fuzz
findings=$build/findings

CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=Debug -Wno-dev >/dev/null || exit 1
cmake --build "$build" -j "$(nproc)" >/dev/null || { cmake --build "$build"; exit 1; }
mkdir -p "$findings"

status=0
for program in "$build"/fuzz_*; do
    [ -x "$program" ] || continue
    target=$(basename "$program" | sed 's/^fuzz_//')
    corpus=$root/tests/fuzz/corpus/$target
    mkdir -p "$corpus"
    for mode in 0 1; do
        fresh=$(mktemp -d)
        log=$build/$target-$mode.log
        if ANSI_DOUBLE_BYTE=$mode "$program" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=1024 -artifact_prefix="$findings/$target-$mode-" \
            "$fresh" "$corpus" >"$log" 2>&1; then
            runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -n 1)
            echo "fuzz $target (double-byte=$mode): ${runs:-ran}"
        else
            echo "fuzz $target (double-byte=$mode): FINDING, see $log and $findings"
            tail -n 30 "$log"
            status=1
        fi
        if [ $smoke = 0 ]; then
            # The inputs of this run that reach new code join the repository
            # corpus; what is there already stays.
            ANSI_DOUBLE_BYTE=$mode "$program" -merge=1 "$corpus" "$fresh" >/dev/null 2>&1 ||
                echo "fuzz $target (double-byte=$mode): could not merge new inputs"
        fi
        rm -rf "$fresh"
    done
done
exit $status

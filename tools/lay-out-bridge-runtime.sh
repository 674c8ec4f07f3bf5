#!/bin/sh
# Lays out a bridge runtime (bridgejvm/README.md) in the folder given, from
# the x86_64 test build: a Java home whose jvm.dll runs real Java in the
# Linux JDK. Build it first: cmake --build build/x64 --target bridgejvm bridgejvm_files
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 1 ]; then
    echo "usage: $0 <runtime folder>" >&2
    exit 2
fi
cmake -DBIN="$root/build/x64/bin" -DHOME="$1" -P "$root/bridgejvm/LayOutRuntime.cmake"

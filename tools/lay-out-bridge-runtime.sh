#!/bin/sh
# Lays out a bridge runtime (bridgejvm/README.md) in the folder given, from
# the x86_64 test build: a Java home whose jvm.dll runs real Java in a Linux
# JDK, the build's (BRIDGEJVM_JDK) or the one given. Build it first:
# cmake --build build/x64 --target bridgejvm bridgejvm_files
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 <runtime folder> [<Linux JDK folder>]" >&2
    exit 2
fi
if [ $# -eq 2 ]; then
    cmake -DBIN="$root/build/x64/bin" -DHOME="$1" -DJDK="$2" -P "$root/bridgejvm/LayOutRuntime.cmake"
else
    cmake -DBIN="$root/build/x64/bin" -DHOME="$1" -P "$root/bridgejvm/LayOutRuntime.cmake"
fi

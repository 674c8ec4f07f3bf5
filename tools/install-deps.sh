#!/bin/sh
# Installs the Debian packages the build and the tests need, and only those
# that are missing. Safe to run again; does nothing when all are present.
set -eu

packages="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 \
binutils-mingw-w64-x86-64 wine wine64 xvfb xauth cmake make g++ googletest \
openjdk-17-jdk-headless procps clang libclang-rt-14-dev python3 imagemagick fonts-wine \
fonts-wqy-microhei"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null

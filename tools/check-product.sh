#!/bin/sh
# Checks a product executable: PE format, its subsystem (GUI, or console
# for the console twin launcher-console.exe), address-space randomisation and
# no-execute data on, an import table that names Windows system DLLs only
# (and not the ones that are delay-loaded, see cmake/DelayLoad.cmake), no C++
# exception runtime (nor the demangler and printf code it drags in) in its
# linker map (the file of its name with .map), its size, and its manifest
# (tools/check-manifest.py).
# Usage: check-product.sh launcher.exe i686|x86_64 [budget in bytes]
set -u
exe=$1
arch=$2
objdump=$arch-w64-mingw32-objdump
# The budget: 96 KB for the 32-bit product, 104 KB for the 64-bit one.
if [ "$arch" = i686 ]; then
    format=pei-i386; magic="PE32"; budget=${3:-98304}
else
    format=pei-x86-64; magic="PE32+"; budget=${3:-106496}
fi

[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
dump=$($objdump -p "$exe") || exit 1
status=0
echo "$dump" | grep -q "file format $format" || { echo "$exe: not $format"; status=1; }
echo "$dump" | grep -q "^Magic.*($magic)\$" || { echo "$exe: not $magic"; status=1; }
subsystem="Windows GUI"
case "$exe" in *-console.exe) subsystem="Windows CUI" ;; esac
echo "$dump" | grep -q "Subsystem.*($subsystem)" || { echo "$exe: not a $subsystem executable"; status=1; }
flags="DYNAMIC_BASE NX_COMPAT"
[ "$arch" = x86_64 ] && flags="$flags HIGH_ENTROPY_VA"
for flag in $flags; do
    echo "$dump" | grep -q "^[[:space:]]*$flag\$" || { echo "$exe: $flag is off"; status=1; }
done

# DLL names are compared without regard to case, as Windows does.
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll"
delayed="shell32.dll ole32.dll oleaut32.dll comctl32.dll"
for dll in $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    name=$(echo "$dll" | tr 'A-Z' 'a-z')
    case " $allowed " in
        *" $name "*) continue ;;
    esac
    case " $delayed " in
        *" $name "*) echo "$exe: loads $dll at start-up; list the functions it takes from there in cmake/DelayLoad.cmake" ;;
        *) echo "$exe: imports $dll, which is not a Windows system DLL the launcher needs at start-up" ;;
    esac
    status=1
done
map=${exe%.exe}.map
[ -f "$map" ] || map=$(dirname "$exe")/../$(basename "${exe%.exe}").map
if [ -f "$map" ]; then
    for unwanted in cp-demangle.o unwind-dw2.o unwind-seh.o mingw_pformat.o eh_throw.o eh_personality.o; do
        grep -q "$unwanted" "$map" && { echo "$exe: links $unwanted (C++ exception runtime)"; status=1; }
    done
    # The product starts without the C runtime's start-up code
    # (launcher/Startup.cpp), which would run static constructors: there
    # must be none (the compiler's own crtend.o lists one it needs not).
    ctors=$(grep -E '^ \.ctors' "$map" | grep -v 'crtend\.o')
    [ -z "$ctors" ] || { echo "$exe: static constructors, which nothing runs:"; echo "$ctors"; status=1; }
else
    echo "$exe: no linker map beside it"; status=1
fi
python3 "$(dirname "$0")/check-manifest.py" "$exe" || status=1
size=$(stat -c %s "$exe")
[ "$size" -le "$budget" ] || { echo "$exe: $size bytes, over the budget of $budget"; status=1; }
echo "$exe: $format ($magic), $subsystem, imports: $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')($size bytes)"
exit $status

#!/bin/sh
# Checks a console companion, explain or stamp: PE format, console
# subsystem, and an import table that names Windows system DLLs only (it is
# statically linked).
# Usage: check-explain.sh explain.exe|stamp.exe i686|x86_64
set -u
exe=$1
arch=$2
objdump=$arch-w64-mingw32-objdump
[ "$arch" = i686 ] && format=pei-i386 || format=pei-x86-64

[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
dump=$($objdump -p "$exe") || exit 1
status=0
echo "$dump" | grep -q "file format $format" || { echo "$exe: not $format"; status=1; }
echo "$dump" | grep -q "Subsystem.*(Windows CUI)" || { echo "$exe: not a console executable"; status=1; }
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll comctl32.dll msvcrt.dll"
for dll in $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    case " $allowed " in
        *" $(echo "$dll" | tr 'A-Z' 'a-z') "*) ;;
        *) echo "$exe: imports $dll, which is not a Windows system DLL"; status=1 ;;
    esac
done
echo "$exe: $format, Windows console, imports: $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')($(stat -c %s "$exe") bytes)"
exit $status

#!/bin/sh
# Checks a product executable: PE format, GUI subsystem, and an import table
# that names Windows system DLLs only.
set -u
exe=$1
arch=$2
objdump=$arch-w64-mingw32-objdump
[ "$arch" = i686 ] && format=pei-i386 || format=pei-x86-64

[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
dump=$($objdump -p "$exe") || exit 1
status=0
echo "$dump" | grep -q "file format $format" || { echo "$exe: not $format"; status=1; }
echo "$dump" | grep -q "Subsystem.*(Windows GUI)" || { echo "$exe: not a GUI executable"; status=1; }

allowed="KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll ole32.dll OLEAUT32.dll COMCTL32.dll msvcrt.dll"
for dll in $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    case " $allowed " in
        *" $dll "*) ;;
        *) echo "$exe: imports $dll, which is not a Windows system DLL"; status=1 ;;
    esac
done
size=$(stat -c %s "$exe")
echo "$exe: $format, Windows GUI, imports: $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')($size bytes)"
exit $status

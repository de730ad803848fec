#!/bin/sh
# Fails when a delivered program imports a DLL that is not part of Windows itself.
# Usage: check-imports.sh OBJDUMP PROGRAM...
objdump="$1"; shift
allowed='^(advapi32|bcrypt|comctl32|comdlg32|gdi32|gdiplus|kernel32|msacm32|msimg32|msvcrt|ole32|oleaut32|shell32|shlwapi|urlmon|user32|uxtheme|version|windowscodecs|winmm|wininet|ws2_32)\.dll$'
status=0
for program in "$@"; do
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    [ -n "$dlls" ] || { echo "$program: no imports found"; status=1; continue; }
    for dll in $dlls; do
        if ! echo "$dll" | grep -Eq "$allowed"; then
            echo "$program imports $dll"
            status=1
        fi
    done
done
exit $status

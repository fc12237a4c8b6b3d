#!/bin/sh
# The program imports only Windows' known DLLs, which the loader takes from
# System32 whatever lies in the program's folder (a DLL outside the list,
# WINSPOOL.DRV for one, is looked for beside the program first).
#   known_dlls.sh OBJDUMP PROGRAM
set -u
objdump=$1
program=$2
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows
# 10 and 11, and ntdll, which every process has loaded before its imports.
known="advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll gdiplus.dll
 imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ntdll.dll ole32.dll
 oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll
 user32.dll wldap32.dll ws2_32.dll"
imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
if [ -z "$imports" ]; then
    echo "no import table read from $program" >&2
    exit 1
fi
status=0
for dll in $imports; do
    if echo $known | tr ' ' '\n' | grep -qx "$dll"; then
        echo "known: $dll"
    else
        echo "not a known DLL, looked for beside the program first: $dll" >&2
        status=1
    fi
done
exit $status

#!/bin/sh
# check_imports.sh OBJDUMP BINARY...: fails when a binary imports, at load time, a library
# outside the protected list (a copy in the program's folder would be loaded instead).
objdump=$1; shift
status=0
for binary in "$@"; do
  for dll in $("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case $dll in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|msvcrt.dll|\
      comdlg32.dll|shlwapi.dll|comctl32.dll|imm32.dll) ;;
      *) echo "$(basename "$binary") imports $dll at load time"; status=1 ;;
    esac
  done
done
exit $status

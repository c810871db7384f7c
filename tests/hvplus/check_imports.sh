#!/bin/sh
# check_imports.sh OBJDUMP BINARY...: fails when a binary imports, at load time, a library
# outside the few its first paint needs, all of them on the system's list of protected
# libraries. Anything else is imported late: a copy in the program's folder would be loaded
# instead of the system's, and libraries such as comdlg32 bring in megabytes of others
# before the face shows.
objdump=$1; shift
status=0
for binary in "$@"; do
  for dll in $("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case $dll in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|msvcrt.dll) ;;
      *) echo "$(basename "$binary") imports $dll at load time"; status=1 ;;
    esac
  done
done
exit $status

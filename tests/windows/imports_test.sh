#!/usr/bin/env bash
# The executable is self-contained: it imports only system DLLs.
set -euo pipefail
dlls=$(x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}' | sort -u | tr '\n' ' ')
echo "imports: $dlls"
for dll in $dlls; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll) ;;
    *) echo "FAIL: imports $dll"; exit 1 ;;
  esac
done

#!/usr/bin/env bash
# Fails when the Windows program imports a DLL that is not part of Windows itself
# (the C runtime, libstdc++ or winpthread must be linked in, not shipped beside
# it), or when it links d3d8.dll instead of loading it at run time. A program that
# cannot be read, or shows no imports at all, fails too: every pipe stage counts.
# Usage: check_imports.sh Tavrolith.exe
set -euo pipefail
dlls=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "imports:" $dlls
if [ -z "$dlls" ]; then
  echo "no imports found in $1"
  exit 1
fi
status=0
for dll in $dlls; do
  case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|opengl32.dll|glu32.dll|winmm.dll|dsound.dll|\
    advapi32.dll|shell32.dll|ole32.dll|ws2_32.dll) ;;
    *) echo "not a system DLL (or one that must be loaded at run time): $dll"; status=1 ;;
  esac
done
exit $status

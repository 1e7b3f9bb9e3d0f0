#!/usr/bin/env bash
# The executable says what it is: version information with the project's
# version, a manifest that asks for the UTF-8 code page and the caller's own
# rights, Windows 6.0 or later, and the loader's hardening flags.
set -euo pipefail
exe=$1
version=$2
fail() { echo "FAIL: $*"; exit 1; }
resources=$(x86_64-w64-mingw32-windres -J coff -i "$exe" -O rc)
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
has() { grep -qE -- "$2" <<<"$1" || fail "missing: $2"; }

has "$resources" "^ FILEVERSION ${version//./, }, 0$"
for field in FileVersion ProductVersion; do
  has "$resources" "VALUE \"$field\", \"$version\""
done
has "$resources" 'VALUE "ProductName", "Hollowbrook"'
has "$resources" 'VALUE "OriginalFilename", "hollowbrook.exe"'
has "$resources" '<activeCodePage [^>]*>UTF-8</activeCodePage>'
has "$resources" 'requestedExecutionLevel level=""asInvoker""'
for field in MajorSubsystemVersion MajorOSystemVersion; do
  major=$(awk -v f="$field" '$1 == f {print $2}' <<<"$headers")
  [ "${major:-0}" -ge 6 ] || fail "$field is ${major:-missing}, below 6"
done
for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
  has "$headers" "^[[:space:]]+$flag$"
done
echo "version $version, UTF-8 and asInvoker manifest, Windows 6.0, ASLR and NX"

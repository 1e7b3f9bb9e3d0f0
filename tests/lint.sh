#!/usr/bin/env bash
# Static checks over the product code, each with no finding allowed:
# clang-tidy (.clang-tidy), cppcheck, a strict POSIX compile of the POSIX
# platform file, and the console formats.
# Usage: lint.sh SOURCE_DIR BUILD_DIR (a build with compile_commands.json).
set -euo pipefail
src=$1
build=$2
cd "$src"
product=(console/*.cpp frontend/*.cpp wait/*.cpp platform/posix.cpp)
status=0
check() { # name, command...
  local name=$1
  shift
  if "$@"; then echo "$name: no finding"; else echo "FAIL: $name"; status=1; fi
}

check clang-tidy clang-tidy -p "$build" --quiet "${product[@]}" 2>/dev/null
# The Windows platform file, against the MinGW-w64 headers where they are.
mingw_cxx=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
if [ -d "$mingw_cxx" ]; then
  check "clang-tidy (Windows)" clang-tidy --quiet platform/windows.cpp -- \
    --target=x86_64-w64-mingw32 -std=c++17 -nostdinc++ -isystem "$mingw_cxx" \
    -isystem "$mingw_cxx/x86_64-w64-mingw32" -isystem /usr/x86_64-w64-mingw32/include -I.
fi
check cppcheck cppcheck --std=c++17 --enable=warning,style,performance,portability \
  --inline-suppr --error-exitcode=1 --quiet -I. console frontend wait platform
check "strict POSIX compile" "${CXX:-c++}" -std=c++17 -U_GNU_SOURCE -D_POSIX_C_SOURCE=200809L \
  -Wall -Wextra -Wpedantic -Werror -I. -fsyntax-only platform/posix.cpp

# The console formatter knows %s, %d, %u and %% alone; the compiler checks
# each call as printf, which knows more. Every product text is a format.
unknown_conversions() {
  ! grep -nE '"([^"\\%]|\\.|%[sdu%])*%([^sdu%]|$)' console/*.cpp frontend/*.cpp wait/*.cpp
}
check "console formats (%s %d %u %% only)" unknown_conversions
exit "$status"

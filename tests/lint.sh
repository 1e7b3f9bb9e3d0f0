#!/usr/bin/env bash
# Static checks over the product code, each with no finding allowed:
# clang-tidy (.clang-tidy), cppcheck, a strict POSIX compile of the POSIX
# platform file, and the console formats.
# Usage: lint.sh SOURCE_DIR BUILD_DIR (a build with compile_commands.json).
set -euo pipefail
src=$1
build=$2
cd "$src"
product=(console/*.cpp frontend/*.cpp names/*.cpp wait/*.cpp platform/posix.cpp)
status=0
# Never beside the fault tests whose churn keeps both cores busy.
exec 9>/tmp/hollowbrook-cores.lock && flock 9
check() { # name, command...
  local name=$1
  shift
  if "$@"; then echo "$name: no finding"; else echo "FAIL: $name"; status=1; fi
}

# One file a process, two at a time: the files are checked apart anyway.
tidy_each() { printf '%s\0' "${product[@]}" | xargs -0 -n 1 -P 2 clang-tidy -p "$build" --quiet 2>/dev/null; }
check clang-tidy tidy_each
# The Windows platform file, against the headers of the MinGW-w64 compiler that
# the Windows build uses (the compiler's own built-in headers are clang's).
mingw_includes() {
  echo | "$1" -xc++ -E -v - 2>&1 | sed -n '/^#include <...> search starts here:/,/^End of search list/p' |
    sed -nE '/\/lib\/gcc\/[^/]+\/[^/]+\/include(-fixed)?$/d; s/^ (\/.*)/-isystem\n\1/p'
}
mingw_cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
if [ -n "$mingw_cxx" ]; then
  mapfile -t includes < <(mingw_includes "$mingw_cxx")
  check "clang-tidy (Windows)" clang-tidy --quiet platform/windows.cpp -- \
    --target=x86_64-w64-mingw32 -std=c++17 -nostdinc++ "${includes[@]}" -I.
else
  echo "SKIP: clang-tidy (Windows): no MinGW-w64 compiler (x86_64-w64-mingw32-g++) on the PATH"
fi
check cppcheck cppcheck --std=c++17 --enable=warning,style,performance,portability \
  --inline-suppr --error-exitcode=1 --quiet -I. console frontend names wait platform
check "strict POSIX compile" "${CXX:-c++}" -std=c++17 -U_GNU_SOURCE -D_POSIX_C_SOURCE=200809L \
  -Wall -Wextra -Wpedantic -Werror -I. -fsyntax-only platform/posix.cpp

# The console formatter knows %s, %d, %u and %% alone; the compiler checks
# each call as printf, which knows more. Every product text is a format.
unknown_conversions() {
  ! grep -nE '"([^"\\%]|\\.|%[sdu%])*%([^sdu%]|$)' console/*.cpp frontend/*.cpp wait/*.cpp
}
check "console formats (%s %d %u %% only)" unknown_conversions
exit "$status"

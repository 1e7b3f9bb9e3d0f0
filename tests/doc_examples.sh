#!/usr/bin/env bash
# Runs the examples of README.md as they are written there, so that an edited
# example is the one tested. An example is the fenced block after a line
#   <!-- example: KIND; before: COMMAND; later: COMMAND -->
# (KIND sh, make or bat; before and later optional). BEFORE runs first, LATER
# once the example's tool has printed its wait header (to the example's output
# or, for sh and make, to a log in its home folder), both in sh, with HOME
# (and, for bat, the folder) being the scratch folder that C: stands for. An
# example passes when it exits with status 0 and its output holds, in order,
# the lines of the fenced block after the next "<!-- prints -->", if there is
# one.
# Usage: doc_examples.sh README TOOL KIND...: sh and make with the POSIX tool,
# bat with the Windows one under Wine's cmd.exe.
set -euo pipefail
readme=$1
tool=$2
shift 2
kinds=" $* "
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d /tmp/hollowbrook-examples-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0

# Splits the README into scratch/N.{meta,code,expect}.
awk -v dir="$scratch" '
  /^<!-- example: .* -->$/ { n++; meta = $0; sub(/^<!-- example: /, "", meta); sub(/ -->$/, "", meta)
                             print meta > (dir "/" n ".meta"); want = "code"; next }
  /^<!-- prints -->$/ && n { want = "expect"; next }
  /^```/ && inside { inside = 0; want = ""; next }
  /^```/ && want != "" { inside = 1; target = dir "/" n "." want; printf "" > target; next }
  inside { print > target }
' "$readme"

field() { # file, name: the value of "name: value" in the example line
  tr ';' '\n' <"$1" | sed -nE "s/^ *$2: *//p"
}

# True once the wait header stands in the output or a file below the folder.
wait_for_header() { # output, folder to search too (or "")
  for _ in $(seq 300); do
    grep -qsF '[ Waiting for File' "$1" && return 0
    [ -n "$2" ] && grep -rqsF '[ Waiting for File' "$2" && return 0
    sleep 0.1
  done
  echo "no wait header within 30 s: the later command runs all the same"
}

run_example() { # number, kind
  local meta=$scratch/$1.meta kind=$2 home out status=0 logs
  home=$scratch/home$1
  logs=$home
  out=$scratch/$1.out
  if [ "$kind" = bat ]; then
    home=$wine_prefix/drive_c
    logs=""
    rm -rf "$home/jobs"
  fi
  mkdir -p "$home"
  (cd "$home" && HOME=$home sh -c "$(field "$meta" before)")
  local later
  later=$(field "$meta" later)
  if [ -n "$later" ]; then
    (wait_for_header "$out" "$logs" && cd "$home" && HOME=$home sh -c "$later") &
  fi
  case $kind in
  sh) (cd "$home" && HOME=$home PATH=$scratch/bin:$PATH sh "$scratch/$1.code") >"$out" 2>&1 || status=$? ;;
  make) (cd "$home" && HOME=$home PATH=$scratch/bin:$PATH make -s -f "$scratch/$1.code") >"$out" 2>&1 ||
    status=$? ;;
  bat)
    sed 's/$/\r/' "$scratch/$1.code" >"$home/example.bat"
    "$here/../cmake/wine-run" cmd /c 'C:\example.bat' >"$out" 2>&1 || status=$?
    sed -i 's/\r$//' "$out"
    ;;
  *) echo "FAIL: example $1: no such kind '$kind'"; return 1 ;;
  esac
  wait
  local missing=""
  if [ -f "$scratch/$1.expect" ]; then
    missing=$(awk 'NR == FNR { want[++n] = $0; next }
                   i < n && $0 == want[i + 1] { i++ }
                   END { if (i < n) print want[i + 1] }' "$scratch/$1.expect" "$out")
  fi
  if [ "$status" -ne 0 ] || [ -n "$missing" ]; then
    echo "FAIL: example $1 ($kind): status $status${missing:+, missing: $missing}"
    sed 's/^/    /' "$scratch/$1.code"
    echo "  printed:"
    sed 's/^/    /' "$out"
    return 1
  fi
  echo "example $1 ($kind): as shown$([ -f "$scratch/$1.expect" ] && echo ", $(wc -l <"$scratch/$1.expect") lines")"
}

mkdir -p "$scratch/bin"
if [[ $kinds == *" bat "* ]]; then
  wine_prefix=$("$here/../cmake/wine-run" --prefix)
  "$here/../cmake/wine-run" cmd /c ver >/dev/null # creates the prefix if need be
  cp "$tool" "$wine_prefix/drive_c/windows/hollowbrook.exe"
else
  ln -s "$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")" "$scratch/bin/hollowbrook"
fi
ran=0
for meta in "$scratch"/*.meta; do
  number=$(basename "$meta" .meta)
  kind=$(tr ';' '\n' <"$meta" | head -n 1 | tr -d ' ')
  [[ $kinds == *" $kind "* ]] || continue
  ran=$((ran + 1))
  run_example "$number" "$kind" || failures=$((failures + 1))
done
[ "$ran" -gt 0 ] || { echo "FAIL: no example of kind$kinds in $readme"; exit 1; }
[ "$failures" -eq 0 ] || exit 1
echo "$ran examples ran as README.md shows them"

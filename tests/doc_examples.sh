#!/usr/bin/env bash
# Runs the examples of README.md as they are printed there, so that an edited
# example is the one tested. An example is a fenced block of the kinds below;
# its setup is here, in the table, found by a text that the block holds:
# BEFORE runs first, LATER once the tool has printed its wait header (to the
# example's output or to a log in its home folder), both in sh in the home
# folder, which is HOME (for bat, the folder that C: stands for, which the
# runs share, with PREFIX naming the Wine prefix). An example passes when it ends with status
# 0 and its output holds, in order, the lines of the "text" block right after
# it, if there is one; a run's elapsed time may differ by a second there.
#   sh, make: run as they are; crontab: the command of each line, as cron
#   runs it; ini: the ExecStart= and ExecStartPost= lines of a systemd unit,
#   as systemd reads them; bat: a batch file under Wine's cmd.exe.
# Usage: doc_examples.sh README TOOL KIND...: sh, make, crontab and ini with
# the POSIX tool, bat with the Windows one.
set -euo pipefail
readme=$1
tool=$2
shift 2
kinds=" $* "
here=$(cd "$(dirname "$0")" && pwd)

# kind | a text of the block | before | later
examples=(
  'bat|\fC:\jobs\done.flg|rm -rf jobs && mkdir jobs|sleep 12 && touch jobs/done.flg'
  'bat|\f\\fileserver\exports\done.flg|rm -rf exports && mkdir -p exports "$PREFIX/dosdevices/unc/fileserver" &&
    ln -sfn "$HOME/exports" "$PREFIX/dosdevices/unc/fileserver/exports"|touch exports/done.flg'
  'sh|backup.lock|ln -s 12345 backup.lock|rm backup.lock'
  'sh|inbox/*|mkdir inbox && touch inbox/a.csv inbox/.partial|rm inbox/a.csv inbox/.partial'
  'make|loading the export|mkdir exports|touch exports/ready.flg'
  'crontab|exports/ready.flg|mkdir exports|touch exports/ready.flg'
  'ini|exports/ready.flg|mkdir exports|touch exports/ready.flg'
)

scratch=$(mktemp -d /tmp/hollowbrook-examples-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0

# Splits the README into scratch/N.{kind,code,expect}: each fenced block of a
# kind, and the text block that follows it.
awk -v dir="$scratch" -v kinds="bat sh make crontab ini" '
  BEGIN { split(kinds, list, " "); for (k in list) wanted[list[k]] = 1 }
  /^```/ && inside { last = inside == 1 && target ~ /code$/ ? target : ""; inside = 0; next }
  /^```text$/ && last != "" { inside = 1; target = dir "/" n ".expect"; printf "" > target; next }
  /^```/ { kind = substr($0, 4); last = ""
           if (kind in wanted) { n++; print kind > (dir "/" n ".kind"); inside = 1
                                 target = dir "/" n ".code"; printf "" > target } else inside = 2; next }
  inside == 1 { print > target }
  /[^[:space:]]/ && !inside { last = "" }
' "$readme"

setup_of() { # kind, code file: "before|later" of its entry in the table
  local entry
  for entry in "${examples[@]}"; do
    [ "${entry%%|*}" = "$1" ] || continue
    entry=${entry#*|}
    grep -qF -- "${entry%%|*}" "$2" && { echo "${entry#*|}"; return 0; }
  done
  return 1
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

# As cron runs a line: its command after the five time fields, where \% is %.
run_crontab() { # code
  local line command
  while IFS= read -r line; do
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    command=$(sed -E 's/^([^ ]+ +){5}//' <<<"$line")
    [[ ! $command =~ (^|[^\\])% ]] || { echo "an unescaped % ends the command"; return 1; }
    sh -c "${command//\\%/%}" || return 1
  done <"$1"
}

# As systemd reads ExecStart= and ExecStartPost=: C-style escapes, %h for the
# home folder, words split at blanks; the tool wherever the unit names it.
run_unit() { # code
  local line words
  while IFS= read -r line; do
    [[ $line =~ ^ExecStart(Post)?=(.*)$ ]] || continue
    line=${BASH_REMATCH[2]//\\\\/\\}
    read -r -a words <<<"${line//%h/$HOME}"
    [ "$(basename "${words[0]}")" != hollowbrook ] || words[0]=hollowbrook
    "${words[@]}" || return 1
  done <"$1"
}

run_example() { # number
  local kind code setup home logs out status=0 missing=""
  kind=$(cat "$scratch/$1.kind")
  code=$scratch/$1.code
  setup=$(setup_of "$kind" "$code") || { echo "FAIL: example $1 ($kind): no setup here"; return 1; }
  home=$scratch/home$1
  logs=$home
  out=$scratch/$1.out
  if [ "$kind" = bat ]; then
    home=$wine_prefix/drive_c
    logs=""
  fi
  mkdir -p "$home"
  (cd "$home" && HOME=$home PREFIX=${wine_prefix:-} sh -c "${setup%%|*}")
  (wait_for_header "$out" "$logs" && cd "$home" && HOME=$home sh -c "${setup#*|}") &
  local runner=(sh "$code")
  case $kind in
  make) runner=(make -s -f "$code") ;;
  crontab) runner=(run_crontab "$code") ;;
  ini) runner=(run_unit "$code") ;;
  bat)
    sed 's/$/\r/' "$code" >"$home/example.bat"
    runner=("$here/../cmake/wine-run" cmd /c 'C:\example.bat')
    ;;
  esac
  (cd "$home" && HOME=$home PATH=$scratch/bin:$PATH "${runner[@]}") >"$out" 2>&1 || status=$?
  wait
  sed -i 's/\r$//' "$out"
  if [ -f "$scratch/$1.expect" ]; then
    missing=$(awk 'NR == FNR { want[++n] = $0; next }
                   function same(a, b) { return a == b || (a ~ /^    [0-9][0-9]:[0-9][0-9]:[0-9][0-9]$/ &&
                                                          b ~ /^    [0-9][0-9]+:[0-9][0-9]:[0-9][0-9]$/) }
                   i < n && same(want[i + 1], $0) { i++ }
                   END { if (i < n) print want[i + 1] }' "$scratch/$1.expect" "$out")
  fi
  if [ "$status" -ne 0 ] || [ -n "$missing" ]; then
    echo "FAIL: example $1 ($kind): status $status${missing:+, missing: $missing}"
    sed 's/^/    /' "$code"
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
for kind_file in "$scratch"/*.kind; do
  number=$(basename "$kind_file" .kind)
  [[ $kinds == *" $(cat "$kind_file") "* ]] || continue
  ran=$((ran + 1))
  run_example "$number" || failures=$((failures + 1))
done
[ "$ran" -gt 0 ] || { echo "FAIL: no example of kind$kinds in $readme"; exit 1; }
[ "$failures" -eq 0 ] || exit 1
echo "$ran examples ran as README.md shows them"

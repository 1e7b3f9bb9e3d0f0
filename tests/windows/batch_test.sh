#!/usr/bin/env bash
# A real batch file under Wine's cmd.exe: the tool waits, another process
# creates the watched file, and the batch file goes on with ERRORLEVEL 0.
set -euo pipefail
tool=$1
wine_run=$(dirname "$0")/../../cmake/wine-run
prefix=$("$wine_run" --prefix)

# C:\hbjob holds no marker letter after a backslash; Z:\tmp\... would feed \t.
job="$prefix/drive_c/hbjob"
rm -rf "$job" && mkdir -p "$job"
cp "$tool" "$job/hollowbrook.exe"
printf '%s\r\n' \
  '@echo off' \
  'C:\hbjob\hollowbrook.exe "\fC:\hbjob\done.flg" \s1 \t1 \eT' \
  'echo ERRORLEVEL=%ERRORLEVEL%' \
  'if exist C:\hbjob\done.flg echo the flag is there' >"$job/job.bat"

(sleep 3 && touch "$job/done.flg") &
creator=$!
start=$(date +%s%N)
"$wine_run" cmd /c 'C:\hbjob\job.bat' >"$job/out.txt"
took_ms=$((($(date +%s%N) - start) / 1000000))
wait "$creator"

fail() { echo "FAIL: $*"; cat -A "$job/out.txt"; exit 1; }
out=$(cat "$job/out.txt")
expect() { grep -qF -- "$1" <<<"$out" || fail "missing: $1"; }
expect $'    File to check:    C:\\hbjob\\done.flg\r'
expect $'    Timeout minutes:  1\r'
expect $'[ Waiting for File to Appear ]\r'
expect $'    File Condition Met: File was found\r'
expect $'[ Time Elapsed ]\r'
expect $'ERRORLEVEL=0\r'
expect $'the flag is there\r'
crlf=$(grep -c $'\r$' "$job/out.txt")
lines=$(wc -l <"$job/out.txt")
[ "$crlf" -eq "$lines" ] || fail "only $crlf of $lines lines end in CR LF"
[ "$took_ms" -ge 3000 ] || fail "returned after $took_ms ms, before the file existed"
rm -rf "$job"
echo "batch file ran: $lines lines, all CR LF, in $took_ms ms; ERRORLEVEL 0"

#!/usr/bin/env bash
# A name outside the legacy code page (ł, 日) is watched as typed: a deletion
# wait with redirected output keeps waiting while the file exists and echoes
# the name in UTF-8; on a console (Wine under a pseudo-terminal) the tool
# itself writes UTF-16, the name shows as typed and the dots appear at once.
# A lock on a drive that this session lacks is not taken as deleted. A name of
# 169 characters in 319 bytes is checked.
set -euo pipefail
tool=$1
wine=$(cd "$(dirname "$0")/../../cmake" && pwd)/wine-run
job="$("$wine" --prefix)/drive_c/hbnames"
rm -rf "$job" && mkdir -p "$job"
trap 'rm -rf "$job"' EXIT
cp "$tool" "$job/hollowbrook.exe"
flag="$job/ł日.flg"
name='C:\hbnames\ł日.flg'
out=$job/out.txt
fail() { echo "FAIL: $*"; cat -v "$out"; exit 1; }
expect() { grep -qF -- "$1" "$out" || fail "missing: $1"; }
wait_for() { # text, seconds: true once the output shows the text
  for _ in $(seq $(($2 * 10))); do
    grep -qF -- "$1" "$out" && return 0
    sleep 0.1
  done
  return 1
}

# Starts a deletion wait for the name, with its process in tool_pid: true
# when the tool still waits 2 s after its output shows the text.
still_waits_after() { # name, text
  "$wine" 'C:\hbnames\hollowbrook.exe' "\\f$1" '\s1' '\t1' '\eF' >"$out" &
  tool_pid=$!
  wait_for "$2" 20 && sleep 2 && kill -0 "$tool_pid" 2>/dev/null
}

touch "$flag"
still_waits_after "$name" '[ Waiting for File to be Deleted ]' || fail "ended while the file existed"
rm "$flag"
wait "$tool_pid"
expect $'    File to check:    C:\\hbnames\\ł日.flg\r'
expect $'    File Condition Met: File no longer exists\r'

# Three folders of 50 é and a file: 169 characters, 319 bytes in UTF-8, within
# the 259 that the system counts.
e50=$(printf 'é%.0s' $(seq 50))
mkdir -p "$job/$e50/$e50/$e50" && touch "$job/$e50/$e50/$e50/x.flg"
timeout 30 "$wine" 'C:\hbnames\hollowbrook.exe' "\\fC:\\hbnames\\$e50\\$e50\\$e50\\x.flg" '\s1' '\t1' \
  '\eT' >"$out" || fail "a name of 169 characters was not found within 30 s"
expect $'    File Condition Met: File was found\r'

# On the console, with a name whose echo line is long: the relay trace shows
# which calls the tool itself made.
name='C:\hbnames\łłłłłłłłłłłłłłłłłłłł日.flg'
flag="$job/łłłłłłłłłłłłłłłłłłłł日.flg"
relay=$job/relay.txt
script -qfec "stty cols 300; WINEDEBUG=+relay '$wine' 'C:\\hbnames\\hollowbrook.exe' \
  '\\f$name' '\\s1' '\\t0' '\\eT' 2>'$relay'" /dev/null >"$out" &
console_pid=$!
wait_for '    .' 20 || fail "no dot on the console"
kill -0 "$console_pid" 2>/dev/null || fail "ended before its file existed"
touch "$flag"
wait "$console_pid"
sed -i -E 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$out"
expect "    File to check:    $name"
expect "    File Condition Met: File was found"
grep -qE 'KERNEL32\.WriteConsoleW\(.*ret=0*1400' "$relay" || fail "the tool did not write UTF-16"

# A drive this session lacks: the deletion wait names the unknown answer once
# and goes on waiting.
for lock in 'Q:\lock.flg' '\\?\Q:\lock.flg'; do
  still_waits_after "$lock" 'NOTE: The system cannot tell' || fail "a missing drive ended the wait: $lock"
  kill "$tool_pid"
  wait "$tool_pid" || true
done
grep -qE '^    NOTE: The system cannot tell whether the file exists \(error [23]\); still waiting\.'$'\r''$' \
  "$out" || fail "the NOTE is not as it should be"
! grep -q 'File Condition Met' "$out" || fail "a missing drive met the condition"

echo "ł日 watched as typed: UTF-8 when redirected, UTF-16 on the console; Q: is no deletion"

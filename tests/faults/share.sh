#!/usr/bin/env bash
# A share whose server stops answering, played by a FUSE file system
# (share.py). Usage: share.sh TOOL CASE; a TOOL ending in .exe runs under Wine
# and sees the mount through Z:.
#   stalls: 3 s into a wait with \t1 \s1 the file system is stopped; the tool
#     still ends on time, with the timeout lines, how long the file system did
#     not answer and the elapsed-time report.
#   returns: the file system is stopped for 3 s, then answers again, and then
#     the file appears: the wait ends as any other.
# A tool built with a sanitizer must leave no report on its standard error:
# the guard ends the process with _exit, which skips the sanitizer's own exit
# status.
set -euo pipefail
tool=$1
case_name=$2
here=$(cd "$(dirname "$0")" && pwd)
skip() {
  echo "SKIP ($case_name): $*"
  exit 77
}
[ -c /dev/fuse ] || skip "there is no /dev/fuse"
scratch=$(mktemp -d /tmp/hollowbrook-share-XXXXXX)
backing=$scratch/backing
mnt=$scratch/mnt
out=$scratch/out.txt
err=$scratch/err.txt
log=$scratch/requests
mkdir "$backing" "$mnt"
share_pid=
tool_pid=
# Keeps the test's own status: nothing here may fail it.
cleanup() {
  local status=$?
  set +e
  [ -n "$tool_pid" ] && kill -KILL "$tool_pid" 2>/dev/null
  [ -n "$share_pid" ] && kill -CONT "$share_pid" 2>/dev/null
  fusermount3 -u -z "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null
  [ -n "$share_pid" ] && kill "$share_pid" 2>/dev/null && wait "$share_pid" 2>/dev/null
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
fail() {
  echo "FAIL ($case_name): $*"
  cat "$out" "$err" 2>/dev/null
  exit 1
}
no_sanitizer_report() {
  ! grep -q 'Sanitizer' "$err" || fail "a sanitizer report"
}

python=/usr/bin/python3
"$python" -c 'import fusepy' 2>/dev/null || skip "python3-fusepy is not installed"
"$python" "$here/share.py" "$backing" "$mnt" 1 >"$log" 2>"$scratch/share.err" &
share_pid=$!
for _ in $(seq 50); do
  grep -qF " $mnt fuse" /proc/mounts && break
  kill -0 "$share_pid" 2>/dev/null || skip "cannot mount here: $(cat "$scratch/share.err")"
  sleep 0.1
done
grep -qF " $mnt fuse" /proc/mounts || skip "the mount did not appear"

# Stops the file system between two requests: a request it has already read
# would hold the prober uninterruptibly, which a dead server does not do. The
# stop has taken when a thread of the tool waits for an answer, which the
# kernel shows as request_wait_answer in wchan; where it hides wchan or names
# that wait otherwise, nothing here can tell, and the test is skipped.
stop_share() {
  local size seen=""
  for _ in $(seq 20); do
    size=$(stat -c %s "$log")
    sleep 0.2
    [ "$(stat -c %s "$log")" = "$size" ] || continue
    kill -STOP "$share_pid"
    sleep 0.05
    if [ "$(stat -c %s "$log")" = "$size" ]; then
      for _ in $(seq 25); do
        grep -qs request_wait_answer /proc/"$tool_pid"/task/*/wchan && return 0
        sleep 0.1
      done
      for wchan in /proc/"$tool_pid"/task/*/wchan; do seen="$seen $(cat "$wchan" 2>/dev/null)"; done
    fi
    kill -CONT "$share_pid"
  done
  skip "no thread of the tool was seen in request_wait_answer; wchan showed:$(tr ' ' '\n' <<<"$seen" |
    sort -u | tr '\n' ' ')"
}

if [[ $tool == *.exe ]]; then
  # Forward slashes: the path holds no backslash, so no marker.
  run=("$here/../../cmake/wine-run" "$tool") name=Z:$mnt/done.flg
else
  run=("$tool") name=$mnt/done.flg
fi
started=$(date +%s%N)
took_s() { echo $((($(date +%s%N) - started) / 1000000000)); }
"${run[@]}" "\\f$name" '\s1' '\t1' '\eT' >"$out" 2>"$err" &
tool_pid=$!
sleep 3
stop_share
stopped=$(took_s)

case "$case_name" in
stalls)
  while kill -0 "$tool_pid" 2>/dev/null && [ "$(took_s)" -lt 75 ]; do sleep 0.5; done
  kill -0 "$tool_pid" 2>/dev/null && fail "still waiting $(took_s) s after its start"
  status=0
  wait "$tool_pid" || status=$?
  tool_pid=
  took=$(took_s)
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ "$took" -lt 70 ] || fail "ended $took s after its start (stopped at $stopped s)"
  tr -d '\r' <"$out" >"$out.lf"
  grep -qxF '    WARNING! Timeout condition encountered.' "$out.lf" ||
    fail "no timeout warning (stopped at $stopped s)"
  grep -qxF '             File was not found.' "$out.lf" || fail "no 'File was not found.'"
  grep -qxE '             The file system did not answer for [0-9]+ seconds\.' "$out.lf" ||
    fail "no line on the file system"
  grep -qxE '    00:01:0[0-6]' "$out.lf" || fail "the report is not between 00:01:00 and 00:01:06"
  no_sanitizer_report
  echo "PASS ($case_name): ended after $took s: $(grep -E 'did not answer|^    00:' "$out.lf" |
    sed 's/^ *//' | tr '\n' ' ')"
  ;;
returns)
  sleep 3
  kill -CONT "$share_pid"
  sleep 2
  touch "$backing/done.flg"
  for _ in $(seq 100); do kill -0 "$tool_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$tool_pid" || fail "exit status $?"
  tool_pid=
  grep -qF '    File Condition Met: File was found' "$out" || fail "the file was not found"
  ! grep -qE 'WARNING|did not answer' "$out" || fail "a stall that ended was reported"
  no_sanitizer_report
  echo "PASS ($case_name): File was found after $(took_s) s"
  ;;
*) fail "no such case" ;;
esac

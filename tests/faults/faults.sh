#!/usr/bin/env bash
# Faults a long wait meets, each shown once on the built binary (POSIX; the
# blocked output also with the Windows one, HOLLOWBROOK_RUNNER naming Wine).
# Usage: faults.sh TOOL CASE [PRELOAD], CASE one of clock, stop, unknown,
# output, renames, busy, coarse, boottime (with the library that refuses the
# boot-time clock), blocked.
set -euo pipefail
tool=$1
case_name=$2
preload=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
read -r -a runner <<<"${HOLLOWBROOK_RUNNER:-}"
scratch=$(mktemp -d /tmp/hollowbrook-faults-XXXXXX)
chmod 755 "$scratch"
mounted=""
# Keeps the test's own status: nothing here may fail it.
cleanup() {
  local status=$?
  set +e
  jobs -p | xargs -r kill 2>/dev/null
  [ -z "$mounted" ] || umount -l "$mounted" 2>/dev/null || fusermount3 -u -z "$mounted" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+rwx "$scratch"
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
flag=$scratch/flag
out=$scratch/out.txt

fail() {
  echo "FAIL ($case_name): $*"
  [ -f "$out" ] && cat "$out"
  exit 1
}
skip() {
  echo "SKIP ($case_name): $*"
  exit 77
}
# Milliseconds, without GNU date's %N: bash 5's clock, else perl's.
now_ms() {
  if [ -n "${EPOCHREALTIME:-}" ]; then
    local micro=${EPOCHREALTIME/[.,]/}
    echo $((10#$micro / 1000))
  else
    perl -MTime::HiRes=time -e 'printf "%d\n", time() * 1000'
  fi
}
expect_in_output() { grep -qF -- "$1" "$out" || fail "missing: $1"; }
expect_not_in_output() { ! grep -qF -- "$1" "$out" || fail "unexpected: $1"; }
# The cases whose churn keeps both cores busy take the machine one at a time,
# whichever test run they belong to, and never beside the static checks.
case $case_name in
renames | busy | coarse) exec 9>/tmp/hollowbrook-cores.lock && flock 9 ;;
esac

case "$case_name" in
clock)
  # The wall clock goes back a day, then forward a day, during a wait with a
  # one-minute timeout. Only the wall clock is faked, as a real change does.
  lib=$(find /usr/lib -name libfaketime.so.1 2>/dev/null | head -n 1)
  [ -n "$lib" ] || skip "libfaketime is not installed"
  echo "+0" >"$scratch/faketime"
  export_env=(LD_PRELOAD="$lib" FAKETIME_TIMESTAMP_FILE="$scratch/faketime" FAKETIME_NO_CACHE=1
    FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=verify_asan_link_order=0)
  (sleep 1 && echo "-1d" >"$scratch/faketime" && sleep 1.5 && echo "+1d" >"$scratch/faketime" &&
    sleep 1.5 && touch "$flag") &
  env "${export_env[@]}" "$tool" "\\f$flag" '\s1' '\t1' '\eT' >"$out"
  shift=$(($(env "${export_env[@]}" date +%s) - $(date +%s)))
  wait
  expect_in_output "    File Condition Met: File was found"
  expect_not_in_output "WARNING!"
  grep -qE '^    00:00:0[3-6]$' "$out" || fail "the report is not the true duration"
  [ "${shift#-}" -gt 80000 ] || fail "the fake wall clock did not move"
  ;;
stop)
  # Stopped in the middle of a pause, continued later: the pause completes and
  # the file that appeared meanwhile is found.
  "$tool" "\\f$flag" '\s2' '\t1' '\eT' >"$out" &
  pid=$!
  sleep 0.7 && kill -STOP "$pid" && touch "$flag" && sleep 2.5
  kill -0 "$pid" || fail "the tool ended while stopped"
  continued=$(now_ms)
  kill -CONT "$pid"
  wait "$pid" || fail "exit status $?"
  took=$(($(now_ms) - continued))
  [ "$took" -lt 2500 ] || fail "took $took ms after SIGCONT"
  expect_in_output "    File Condition Met: File was found"
  ;;
unknown)
  # A deletion wait whose probe cannot be answered (no search permission on
  # the folder, for a name and for a pattern) keeps waiting and says so once;
  # once the folder opens, the truth ends it.
  if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || skip "setpriv is needed to drop root"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  else
    as_user=()
  fi
  for name in job.lock '*.lock'; do
    rm -rf "$scratch/locked"
    mkdir -m 700 "$scratch/locked"
    (sleep 3.5 && chmod 755 "$scratch/locked") &
    started=$(now_ms)
    "${as_user[@]}" "$tool" "\\f$scratch/locked/$name" '\s1' '\t1' '\eF' >"$out"
    took=$(($(now_ms) - started))
    wait
    [ "$took" -ge 3500 ] || fail "$name: ended after $took ms, while the probe could not be answered"
    expect_in_output "    File Condition Met: File no longer exists"
    [ "$(grep -c 'File no longer exists' "$out")" -eq 1 ] || fail "$name: reported more than once"
    [ "$(grep -c NOTE "$out")" -eq 1 ] || fail "$name: not one NOTE"
    # EACCES is 13 on Linux, macOS and FreeBSD alike.
    expect_in_output "    NOTE: The system cannot tell whether the file exists (error 13); still waiting."
  done
  ;;
output)
  # Output that cannot be written: standard output closed, a pipe whose reader
  # is gone, a full device. The wait still ends only when the file appears.
  targets=(closed pipe)
  [ -c /dev/full ] && targets+=(full)
  for target in "${targets[@]}"; do
    rm -f "$flag"
    (sleep 2 && touch "$flag") &
    started=$(now_ms)
    status=0
    case $target in
    closed) "$tool" "\\f$flag" '\s1' '\t1' '\eT' >&- || status=$? ;;
    pipe)
      "$tool" "\\f$flag" '\s1' '\t1' '\eT' | true
      status=${PIPESTATUS[0]}
      ;;
    full) "$tool" "\\f$flag" '\s1' '\t1' '\eT' >/dev/full || status=$? ;;
    esac
    took=$(($(now_ms) - started))
    wait
    [ "$status" -eq 0 ] || fail "$target: exit status $status"
    [ "$took" -ge 2000 ] && [ "$took" -lt 4500 ] || fail "$target: returned after $took ms"
  done
  ;;
renames)
  # One of two matching names is always there while they swap places in a
  # folder of 20,000 entries, named through a link: a scan that misses it
  # must not end the wait.
  mkdir "$scratch/in"
  ln -s in "$scratch/linked"
  (cd "$scratch/in" && seq -f 'f%05g.dat' 20000 | xargs touch && touch aaaa.csv)
  (cd "$scratch/in" &&
    nice -n 19 perl -e '$end = time + 4; while (time < $end) { rename "aaaa.csv", "zzzz.csv"; rename "zzzz.csv", "aaaa.csv" }') &
  swapper=$!
  nice -n 19 "$tool" "\\f$scratch/linked/*.csv" '\s0' '\t0' '\eF' >"$out" &
  pid=$!
  sleep 3
  kill -0 "$pid" 2>/dev/null || { wait "$swapper"; fail "ended while a match was there"; }
  kill "$pid"
  wait "$swapper"
  expect_not_in_output "File Condition Met"
  ;;
busy)
  # A local folder that never stands still: other names come and go every
  # 2 ms, and for 3 s the lock swaps places with another matching name. No
  # wait says "gone" while one is there; once the last goes, a wait with no
  # pause and one with a 1 s pause each say it at their next pass.
  "$here/../on_snapshot_file_system.sh" "$scratch" || skip "$scratch is on no local file system"
  folder=$scratch/in
  mkdir "$folder"
  (cd "$folder" && seq -f 'f%03g.dat' 300 | xargs touch && touch aaaa.lock)
  (cd "$folder" && nice -n 19 perl -e '$end = time + 6; for ($i = 0; time < $end; $i++) {
    open F, ">o$i.tmp"; close F; unlink "o" . ($i - 20) . ".tmp"; select(undef, undef, undef, 0.002) }') &
  (cd "$folder" &&
    nice -n 19 perl -e '$end = time + 3; while (time < $end) { rename "aaaa.lock", "zzzz.lock"; rename "zzzz.lock", "aaaa.lock" }') &
  swapper=$!
  nice -n 19 "$tool" "\\f$folder/*.lock" '\s0' '\t0' '\eF' >"$out" &
  eager=$!
  nice -n 19 "$tool" "\\f$folder/*.lock" '\s1' '\t0' '\eF' >"$out.1" &
  paced=$!
  wait "$swapper"
  kill -0 "$eager" 2>/dev/null || fail "no pause: ended while a match was there"
  kill -0 "$paced" 2>/dev/null || fail "1 s pause: ended while a match was there"
  rm -f "$folder"/*.lock
  gone=$(now_ms)
  while { kill -0 "$eager" || kill -0 "$paced"; } 2>/dev/null && [ $(($(now_ms) - gone)) -lt 5000 ]; do
    sleep 0.05
  done
  took=$(($(now_ms) - gone))
  kill -0 "$eager" 2>/dev/null && fail "no pause: still waiting $took ms after the last match went"
  kill -0 "$paced" 2>/dev/null && fail "1 s pause: still waiting $took ms after the last match went"
  [ "$took" -le 1500 ] || fail "said gone $took ms after the last match went"
  expect_in_output "    File Condition Met: File no longer exists"
  grep -qF "File Condition Met: File no longer exists" "$out.1" || fail "1 s pause: no gone"
  echo "no gone for 3 s of swaps; both said gone within $took ms in a folder that kept changing"
  ;;
coarse)
  # A folder whose times are whole seconds, as many FUSE and NFS servers keep
  # them: two matching names swap places through it, or are created and
  # deleted in turn, and one of them is always there. The deletion wait must
  # not say "gone" meanwhile, and must say it within a pass and one 2.1 s step
  # of the folder's clock once the last one goes. The churn and the tool run
  # niced, so that the timing windows of the tests beside them hold.
  [ -c /dev/fuse ] || skip "there is no /dev/fuse"
  python=/usr/bin/python3
  "$python" -c 'import fusepy' 2>/dev/null || skip "python3-fusepy is not installed"
  mkdir "$scratch/backing" "$scratch/mnt"
  (cd "$scratch/backing" && seq -f 'f%04g.dat' 1000 | xargs touch)
  "$python" "$here/share.py" "$scratch/backing" "$scratch/mnt" 1000000000 >/dev/null 2>"$scratch/fuse.err" &
  mounted=$scratch/mnt
  for _ in $(seq 50); do
    grep -qF " $mounted fuse" /proc/mounts && break
    sleep 0.1
  done
  grep -qF " $mounted fuse" /proc/mounts || skip "cannot mount here: $(cat "$scratch/fuse.err")"
  declare -A churn=(
    [renames]='rename "aaaa.csv", "zzzz.csv"; rename "zzzz.csv", "aaaa.csv"'
    [creates]='open F, ">zzzz.csv"; close F; unlink "aaaa.csv"; open F, ">aaaa.csv"; close F; unlink "zzzz.csv"'
  )
  for kind in renames creates; do
    touch "$mounted/aaaa.csv"
    (cd "$mounted" && nice -n 19 perl -e "\$end = time + 3; while (time < \$end) { ${churn[$kind]} }") &
    churner=$!
    nice -n 19 "$tool" "\\f$mounted/*.csv" '\s0' '\t0' '\eF' >"$out" &
    pid=$!
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "$kind: ended while a match was there"
    wait "$churner"
    rm -f "$mounted"/*.csv
    gone=$(now_ms)
    while kill -0 "$pid" 2>/dev/null && [ $(($(now_ms) - gone)) -lt 10000 ]; do sleep 0.05; done
    took=$(($(now_ms) - gone))
    kill -0 "$pid" 2>/dev/null && fail "$kind: still waiting $took ms after the last match went"
    wait "$pid" || fail "$kind: exit status $?"
    expect_in_output "    File Condition Met: File no longer exists"
    [ "$took" -le 5100 ] || fail "$kind: said gone $took ms after the last match went"
    echo "$kind: no gone for 2 s of churn; gone $took ms after the last match went"
  done
  # A listing that fails says nothing: a deletion wait of a pattern in a
  # folder that the server cannot list names the unknown answer, and waits.
  mkdir "$scratch/backing/unlistable"
  "$tool" "\\f$mounted/unlistable/*.csv" '\s0' '\t0' '\eF' >"$out" &
  pid=$!
  sleep 1.5
  kill -0 "$pid" 2>/dev/null || fail "a folder that cannot be listed: gone"
  kill "$pid"
  expect_in_output "    NOTE: The system cannot tell whether the file exists (error 5); still waiting."
  ;;
boottime)
  # A kernel or emulation layer that refuses the boot-time clock: the tool
  # keeps time by the monotonic one, and a one-minute timeout fires on time.
  [ -f "$preload" ] || fail "no preload library given"
  status=0
  env LD_PRELOAD="$preload" HOLLOWBROOK_REFUSED="$scratch/refused" \
    ASAN_OPTIONS=verify_asan_link_order=0 timeout 90 "$tool" "\\f$flag" '\s1' '\t1' '\eT' >"$out" ||
    status=$?
  [ "$status" -eq 0 ] || fail "exit status $status (124: still waiting after 90 s)"
  [ -f "$scratch/refused" ] || fail "the tool never asked for the boot-time clock"
  expect_in_output "    WARNING! Timeout condition encountered."
  grep -qE '^    00:01:0[0-9]$' "$out" || fail "the report is not about a minute"
  ;;
blocked)
  # Output that blocks from the first byte: a run with a one-minute timeout
  # still ends, with status 0, within 15 s of the due time. Side by side: a
  # full pipe that nobody reads, for a long name whose settings fill more than
  # 512 bytes, and for a short one under three warnings; a terminal whose
  # output was stopped (Ctrl-S) before the tool started; and a full pipe under
  # a tool stopped across the due time. The guard has watched the write since
  # 10 s before the due time, which the whole-second clock may bring up to a
  # second early.
  command -v script >/dev/null || skip "script (util-linux) is not installed"
  # 255 characters, with the scratch folder of 30.
  long_name=$scratch/$(printf 'waits_for_the_nightly_export_%.0s' 1 2 3 4 5 6)
  long_name+=final_signal_file_do_not_delete_until_the_load.flg
  mkfifo "$scratch/pipe"
  exec 3<>"$scratch/pipe"
  perl -e 'use Fcntl; $f = fcntl(STDOUT, F_GETFL, 0); fcntl(STDOUT, F_SETFL, $f | O_NONBLOCK);
    1 while defined syswrite(STDOUT, "x" x 512); 1 while defined syswrite(STDOUT, "x");
    fcntl(STDOUT, F_SETFL, $f)' >&3
  printf '#!/bin/sh\nperl -MPOSIX -e "tcflow(1, TCOOFF) or exit 1" && exec "$@"\n' >"$scratch/output-off"
  chmod +x "$scratch/output-off"
  run_timed() { # what, command...: its status and milliseconds in $scratch/what
    local what=$1 started status=0
    shift
    started=$(now_ms)
    timeout 100 "$@" || status=$?
    echo "$status $(($(now_ms) - started))" >"$scratch/$what"
  }
  run_timed long_name "${runner[@]}" "$tool" "\\f$long_name" '\s1' '\t1' '\eT' >&3 &
  run_timed warnings "${runner[@]}" "$tool" "\\f$flag" '\s1x' '\t1.5' '\eTRUE!' >&3 &
  printf -v stopped_command '%q ' "$scratch/output-off" "${runner[@]}" "$tool" "\\f$flag" '\s1' '\t1' '\eT'
  run_timed terminal script -qfec "$stopped_command" /dev/null </dev/null >/dev/null &
  # Stopped from 20 to 65 s, across the due time: the guard counts the stop
  # and ends the run within 15 s after the continue.
  (started=$(now_ms) status=0
    "${runner[@]}" "$tool" "\\f$flag" '\s1' '\t1' '\eT' >&3 &
    pid=$!
    sleep 20 && kill -STOP "$pid" && sleep 45 && kill -CONT "$pid"
    (sleep 40 && kill -KILL "$pid") >/dev/null 2>&1 &
    watchdog=$!
    wait "$pid" || status=$?
    kill "$watchdog" 2>/dev/null
    echo "$status $(($(now_ms) - started))" >"$scratch/stopped") &
  wait
  exec 3>&-
  for what in long_name warnings terminal stopped; do
    read -r status took <"$scratch/$what"
    [ "$status" -eq 0 ] || fail "$what: exit status $status (124 or 137: still running after 100 s)"
    least=59000 most=75000
    [ "$what" != stopped ] || least=65000 most=80000
    [ "$took" -ge "$least" ] && [ "$took" -le "$most" ] || fail "$what: ended after $took ms"
    echo "$what: ended after $took ms"
  done
  ;;
*) fail "no such case" ;;
esac
echo "PASS ($case_name)"

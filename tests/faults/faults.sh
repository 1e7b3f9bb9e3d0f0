#!/usr/bin/env bash
# Faults a long wait meets, each shown once on the built binary (POSIX).
# Usage: faults.sh TOOL CASE, CASE one of clock, stop, unknown, output.
set -euo pipefail
tool=$1
case_name=$2
scratch=$(mktemp -d /tmp/hollowbrook-faults-XXXXXX)
chmod 755 "$scratch"
trap 'chmod -R u+rwx "$scratch"; rm -rf "$scratch"' EXIT
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
*) fail "no such case" ;;
esac
echo "PASS ($case_name)"

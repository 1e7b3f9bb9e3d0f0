#!/usr/bin/env bash
# While no dot is due, a pass of the wait costs exactly two system calls: the
# probe and the pause. Counted as the difference between a wait of 3 passes and
# one of 5, so start-up and exit cancel out.
set -euo pipefail
tool=$1
command -v strace >/dev/null || { echo "SKIP: strace is not installed"; exit 77; }
strace -o /dev/null true 2>/dev/null || { echo "SKIP: strace cannot trace here"; exit 77; }
scratch=$(mktemp -d)
# LeakSanitizer cannot run under ptrace; the count itself needs no leak check.
export ASAN_OPTIONS=detect_leaks=0
trap 'rm -rf "$scratch"' EXIT

# Prints "<all calls> <clock calls>" for a wait whose file appears after $1 s.
count_calls() {
  local flag=$scratch/flag$1
  (sleep "$1" && touch "$flag") &
  strace -f -c -o "$scratch/counts" "$tool" "\\f$flag" '\s1' '\t1' '\eT' >/dev/null
  wait
  awk '$NF == "total" {total = $4} /clock_gettime/ {clock = $4}
       END {print total + 0, clock + 0}' "$scratch/counts"
}
read -r short short_clock < <(count_calls 2.5)
read -r long long_clock < <(count_calls 4.5)
per_pass=$(((long - short) / 2))
echo "system calls: $short for 3 passes, $long for 5: $per_pass per pass;" \
  "clock_gettime calls: $short_clock and $long_clock"
[ $((long - short)) -eq 4 ] || { echo "FAIL: expected 2 system calls per pass"; exit 1; }

#!/usr/bin/env bash
# While no dot is due, a pass of the wait costs exactly two system calls: the
# probe and the pause. Counted as the difference between a shorter and a
# longer wait, so start-up and exit cancel out; each run's passes are counted
# too (one pause each), so a slow machine changes how many passes there are,
# never the cost of one. Both waits end well before the first dot, at 6 s.
# A pattern's scan stops at its first match: a folder of 3000 entries that
# all match costs one read of the folder, where reading it all takes four.
set -euo pipefail
tool=$1
command -v strace >/dev/null || { echo "SKIP: strace is not installed"; exit 77; }
strace -o /dev/null true 2>/dev/null || { echo "SKIP: strace cannot trace here"; exit 77; }
scratch=$(mktemp -d)
# LeakSanitizer cannot run under ptrace; the count itself needs no leak check.
export ASAN_OPTIONS=detect_leaks=0
trap 'rm -rf "$scratch"' EXIT

# Prints "<all calls> <pauses> <clock calls>" for a wait whose file appears
# after $1 s; every thread is counted.
count_calls() {
  local flag=$scratch/flag$1
  (sleep "$1" && touch "$flag") &
  strace -f -c -o "$scratch/counts" "$tool" "\\f$flag" '\s1' '\t1' '\eT' >/dev/null
  wait
  awk '$NF == "total" {total = $4} $NF == "clock_nanosleep" {pauses = $4}
       /clock_gettime/ {clock = $4} END {print total + 0, pauses + 0, clock + 0}' "$scratch/counts"
}
read -r short short_pauses short_clock < <(count_calls 1.5)
read -r long long_pauses long_clock < <(count_calls 3.5)
passes=$((long_pauses - short_pauses))
echo "system calls: $short and $long, $((long - short)) more for $passes more passes;" \
  "clock_gettime calls: $short_clock and $long_clock"
[ "$passes" -ge 1 ] || { echo "FAIL: the longer wait had no more passes"; exit 1; }
[ $((long - short)) -eq $((2 * passes)) ] || { echo "FAIL: expected 2 system calls per pass"; exit 1; }

# The guard sleeps by the clock that counts a suspend.
(sleep 0.5 && touch "$scratch/guarded") &
strace -f -e trace=clock_nanosleep -o "$scratch/guard" "$tool" "\\f$scratch/guarded" '\s1' '\t1' '\eT' >/dev/null
wait
grep -q 'clock_nanosleep(CLOCK_BOOTTIME, TIMER_ABSTIME' "$scratch/guard" ||
  { echo "FAIL: the guard does not sleep by the boot-time clock: $(head -n 3 "$scratch/guard")"; exit 1; }

mkdir "$scratch/many"
(cd "$scratch/many" && seq -f 'm%04g' 3000 | xargs touch)
strace -f -e trace=getdents64 -o "$scratch/reads" "$tool" "\\f$scratch/many/*" '\s0' '\t0' '\eT' >/dev/null
reads=$(grep -c 'getdents64(' "$scratch/reads")
echo "folder reads for a pattern that all 3000 entries match: $reads"
[ "$reads" -eq 1 ] || { echo "FAIL: the scan did not stop at the first match"; exit 1; }

# Each scan gives its folder back: with at most 32 files open, a wait that
# scans thousands of times still sees its file appear.
(sleep 1.5 && touch "$scratch/many/late.new") &
output=$(ulimit -n 32 && timeout 20 "$tool" "\\f$scratch/many/*.new" '\s0' '\t1' '\eT' || true)
wait
grep -q 'File was found' <<<"$output" && ! grep -q NOTE <<<"$output" ||
  { echo "FAIL: a wait of thousands of scans did not see its file: $output"; exit 1; }

# A deletion wait of a pattern: while its match is there, a pass looks at that
# one entry and reads no folder. Once it goes, a build that reads folders
# itself finds this local folder empty in one read, a snapshot: two reads and
# no wait for the folder's clock. The folder stream's scans take the clock
# rule, two scans of two reads.
if ! "$(dirname "$0")/on_snapshot_file_system.sh" "$scratch"; then
  echo "the deletion pass is not counted: $scratch is on no local file system"
  exit 0
fi
mkdir "$scratch/locks"
(cd "$scratch/locks" && seq -f 'f%03g' 300 | xargs touch && touch job.lock)
(sleep 3.5 && rm "$scratch/locks/job.lock") &
strace -f -e trace=getdents64,clock_nanosleep -o "$scratch/gone" \
  "$tool" "\\f$scratch/locks/*.lock" '\s1' '\t0' '\eF' >/dev/null
wait
reads=$(grep -c 'getdents64(' "$scratch/gone")
clock_waits=$(grep -c 'tv_nsec=20000000' "$scratch/gone" || true)
echo "deletion wait of a pattern over 4 passes: $reads folder reads, $clock_waits waits for the folder's clock"
if [ "${2:-}" = snapshots ]; then
  [ "$reads" -eq 3 ] && [ "$clock_waits" -eq 0 ] || { echo "FAIL: expected 3 reads and no wait"; exit 1; }
else
  [ "$reads" -eq 5 ] || { echo "FAIL: expected 5 reads"; exit 1; }
fi

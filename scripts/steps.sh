# What the test command and the full check share, sourced by both: each
# step's wall time for the table at the end, CTest runs and test scripts in
# the background, counted as they end, and the lock of the cores. A skipped
# test (exit status 77) is counted apart and named with the line that says
# why. A CTest run fails when a test failed, when it ran none, or when all of
# them skipped on a machine that has what they need.

step_names=()
step_seconds=()
passed=0
failed=0
skipped=0
logs=$(mktemp -d /tmp/hollowbrook-steps-XXXXXX)
trap 'jobs -p | xargs -r kill 2>/dev/null; rm -rf "$logs"' EXIT

now_tenths() { local micro=${EPOCHREALTIME/[.,]/}; echo $((10#$micro / 100000)); }
as_seconds() { echo "$(($1 / 10)).$(($1 % 10))"; }
run_started=$(now_tenths)
record_step() { # name, tenths of a second
  step_names+=("$1")
  step_seconds+=("$(as_seconds "$2")")
}
# Runs a command as a step of its own, timed; its status is the step's.
step() { # name, command...
  local name=$1 started status=0
  shift
  started=$(now_tenths)
  "$@" || status=$?
  record_step "$name" $(($(now_tenths) - started))
  return "$status"
}
report() {
  local index
  echo "| step | wall time (s) |"
  echo "| --- | ---: |"
  for index in "${!step_names[@]}"; do
    echo "| ${step_names[$index]} | ${step_seconds[$index]} |"
  done
  echo "| all | $(as_seconds $(($(now_tenths) - run_started))) |"
  echo "tests: $passed passed, $failed failed, $skipped skipped"
}
finish() { # the script's status: 0 when nothing failed
  report
  [ "$failed" -eq 0 ]
}
give_up() { # why
  echo "FAIL: $*"
  failed=$((failed + 1))
  report
  exit 1
}

# Held by whatever keeps both cores busy and must not run beside another
# such: the churn of some fault tests, the static checks, a build.
cores_lock=/tmp/hollowbrook-cores.lock

configure() { # preset
  cmake --preset "$1" >"$logs/configure-$1" 2>&1 || { cat "$logs/configure-$1"; return 1; }
}
build() { # preset, targets...
  local preset=$1 targets=()
  shift
  [ "$#" -eq 0 ] || targets=(--target "$@")
  ${build_priority:-} cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}" \
    >"$logs/build-$preset" 2>&1 || { cat "$logs/build-$preset"; return 1; }
}

# Counts one CTest run from its JUnit file; false when it failed as above.
# FUSE is all that some tests need beyond the build: where /dev/fuse is
# missing, a run whose every test skipped is no failure.
count() { # name, CTest's status
  local counts
  counts=$(python3 - "$logs/$1.xml" <<'EOF'
import sys, xml.etree.ElementTree as tree
cases = tree.parse(sys.argv[1]).getroot().iter("testcase")
run = fail = skip = 0
for case in cases:
    status = case.get("status")
    if status == "notrun" or case.find("skipped") is not None:
        skip += 1
        out = case.findtext("system-out") or ""
        why = [line for line in out.splitlines() if "SKIP" in line]
        print("SKIPPED:", case.get("name") + ":", why[-1] if why else "(no reason printed)",
              file=sys.stderr)
    elif status == "fail":
        fail += 1
    else:
        run += 1
print(run, fail, skip)
EOF
  ) || counts="0 1 0"
  local run fails skips
  read -r run fails skips <<<"$counts"
  passed=$((passed + run))
  failed=$((failed + fails))
  skipped=$((skipped + skips))
  if [ $((run + fails + skips)) -eq 0 ]; then
    echo "FAIL: $1 ran no test"
    failed=$((failed + 1))
    return 1
  fi
  if [ "$skips" -gt 0 ] && [ $((run + fails)) -eq 0 ] && [ -e /dev/fuse ]; then
    echo "FAIL: every test of $1 skipped, on a machine that can run them"
    failed=$((failed + 1))
    return 1
  fi
  [ "$fails" -eq 0 ] && [ "$2" -eq 0 ]
}

# A command in the background, its output in a log of its own; await_job
# waits for it, records its time from its start to its end, and returns its
# status.
declare -A job_pids job_started
start_job() { # name, command...
  local name=$1
  shift
  job_started[$name]=$(now_tenths)
  (status=0
    "$@" >"$logs/$name" 2>&1 || status=$?
    now_tenths >"$logs/$name.ended"
    exit "$status") &
  job_pids[$name]=$!
}
await_job() { # name, what the table calls it
  local status=0
  wait "${job_pids[$1]}" || status=$?
  record_step "$2" $(($(cat "$logs/$1.ended") - ${job_started[$1]}))
  return "$status"
}

# A CTest run as a job; end_ctest shows and counts it.
start_ctest() { # name, ctest arguments...
  local name=$1
  shift
  start_job "$name" ctest "$@" --output-on-failure --output-junit "$logs/$name.xml"
}
end_ctest() { # name, what the table calls it
  local status=0
  await_job "$1" "$2" || status=$?
  echo "=== $1 ==="
  grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|Total Test time' "$logs/$1" || true
  [ "$status" -eq 0 ] || cat "$logs/$1"
  count "$1" "$status"
}

# A test script as a job, one test: passed, or skipped where it exits with
# 77; end_script shows and counts it.
end_script() { # name, what the table calls it
  local status=0
  await_job "$1" "$2" || status=$?
  echo "=== $1 ==="
  cat "$logs/$1"
  case $status in
  0) passed=$((passed + 1)) ;;
  77) skipped=$((skipped + 1)) ;;
  *) failed=$((failed + 1)) && return 1 ;;
  esac
}

#!/usr/bin/env bash
# Runs every API test program of a Windows build under Wine, each as one
# process (a Wine start per test case would cost more than the tests), and
# prints one line per program. Exit status 1 when any program failed.
#   tests/windows/run-api-tests.sh BUILD_DIR LABEL [GTEST_FILTER]
# WINEPREFIX names a prefix with the simulated driver running
# (tests/windows/wine-prefix.sh up).
set -uo pipefail

build=${1:?build directory}
label=${2:?label}
filter=${3:-*}
logs=$build/wine-test-logs/$label
mkdir -p "$logs"

# /usr/bin/wine starts either loader as the program needs.
failed=0
for program in "$build"/bin/api_*_test.exe; do
  name=$(basename "$program" .exe)
  # Two threads calling on one overlapped handle without an OVERLAPPED
  # structure stall now and then inside Wine itself; the threading tests run
  # on Linux, also under ThreadSanitizer.
  case $name in
    *threads*) printf '%-8s %-32s skipped under Wine\n' "$label" "$name"; continue ;;
  esac
  start=$(date +%s)
  run() { timeout 120 wine "$program" --gtest_brief=1 "--gtest_filter=$filter" </dev/null >"$logs/$name.log" 2>&1; }
  run
  status=$?
  if [ $status -eq 124 ]; then
    # Seen now and then with the threading tests: calls from two threads on
    # one overlapped handle without an OVERLAPPED structure can stall in
    # Wine. Once more, and said so.
    echo "    $name hung; running it once more"
    run
    status=$?
  fi
  summary=$(grep -E '^\[  (PASSED|FAILED|SKIPPED) +\] [0-9]+ test' "$logs/$name.log" | tr -s ' ' | tr '\n' ' ')
  printf '%-8s %-32s %4ss  %s\n' "$label" "$name" "$(($(date +%s) - start))" "$summary"
  if [ $status -ne 0 ]; then
    failed=1
    grep -E '^\[  FAILED  \]|Failure$' "$logs/$name.log" | head -20 | sed 's/^/    /'
    [ $status -eq 124 ] && echo "    timed out"
  fi
done
exit $failed

#!/usr/bin/env bash
# Installs what is missing, builds all four builds, and runs the native, clang and Windows
# test suites through CTest. A build that fails counts as one failed test and its suite is
# skipped. The last line is always the sum over both, in test programs and, from GoogleTest's
# own reports, test cases: "tests: N programs, N cases passed, N failed" (failed programs).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
prefix=$root/build/win64/wineprefix

started=$SECONDS
step() {
  echo "== $1 ($((SECONDS - started)) s)"
}

passed=0
failed=0
cases=0
xvfb_pid=""
wine_started=0

finish() {
  local status=$?
  if [ "$wine_started" -eq 1 ]; then
    # A wineserver left behind would keep the caller's output open and stall CI.
    { WINEPREFIX=$prefix wineserver -k && WINEPREFIX=$prefix wineserver -w; } >/dev/null 2>&1 || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
  fi
  echo "tests: $passed programs, $cases cases passed, $failed failed"
  [ "$failed" -eq 0 ] || exit 1
}
trap finish EXIT
# An interrupted run still stops its Xvfb and wineserver.
trap 'exit 130' INT TERM

step "dependencies"
bash scripts/install-deps.sh

step "sources"
if bash scripts/check-literals.sh; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

built=()
for build in native clang win64 win32-check; do
  step "build $build"
  if bash scripts/build.sh --no-deps "$build"; then
    built+=("$build")
  else
    echo "== build $build FAILED"
    failed=$((failed + 1))
  fi
done

has_build() {
  local b
  for b in "${built[@]}"; do
    [ "$b" = "$1" ] && return 0
  done
  return 1
}

# Adds up the passed cases of the GoogleTest reports in a folder (one XML file a program).
count_cases() {
  local report counts
  for report in "$1"/*.xml; do
    [ -f "$report" ] || continue
    # The first element with a tests count is <testsuites>, the program's total.
    counts=$(grep -m1 -o '<testsuites [^>]*' "$report" |
      sed -n 's/.* tests="\([0-9]*\)" failures="\([0-9]*\)" disabled="\([0-9]*\)".*/\1 \2 \3/p')
    [ -n "$counts" ] || continue
    set -- $counts
    cases=$((cases + $1 - $2 - $3))
  done
}

run_ctest() {
  local dir=$1 log rc=0 total bad reports seen_as
  log=$(mktemp)
  reports=$root/$dir/gtest-reports
  rm -rf "$reports"
  # A Windows program takes "/work/..." for a folder on its current drive; Wine's Z: is "/".
  seen_as=$reports
  [ "$dir" != build/win64 ] || seen_as=Z:$reports
  step "ctest $dir"
  (cd "$dir" && GTEST_OUTPUT="xml:$seen_as/" ctest --output-on-failure --no-tests=error -j 2) 2>&1 |
    tee "$log" || rc=$?
  count_cases "$reports"
  total=$(sed -n 's/.*tests failed out of \([0-9]\+\).*/\1/p' "$log" | tail -n1)
  bad=$(sed -n 's/.*, \([0-9]\+\) tests failed out of.*/\1/p' "$log" | tail -n1)
  rm -f "$log"
  if [ -z "$total" ] || [ -z "$bad" ]; then
    # No summary: CTest itself failed; the whole suite counts as one failure.
    failed=$((failed + 1))
    return 0
  fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ]; then
    failed=$((failed + 1))
  fi
}

if has_build native; then
  run_ctest build/native
fi

# The same tests built by clang, and the fuzz target, which fuzzes for a bounded time.
if has_build clang; then
  run_ctest build/clang
fi

# The benchmark in its own Release build, once at 2,000 files: no timing is asserted, it
# must only run through (it checks every file of every run it times).
step "benchmark"
if bash scripts/bench.sh --files 2000 --repeat 1; then
  passed=$((passed + 1))
else
  echo "== benchmark FAILED"
  failed=$((failed + 1))
fi

if has_build win64; then
  step "Wine prefix"
  bash scripts/wine-prefix.sh "$prefix"

  step "X display"
  source scripts/xvfb.sh
  start_xvfb 1024x768 || exit 1
  echo "DISPLAY=$DISPLAY"

  # One wineserver for the whole run, so a program starts in a fraction of a second
  # instead of bringing up Wine's services each time. They are started here, away from
  # CTest: a service started by a test would keep that test's output open, and CTest
  # would wait for it.
  step "Wine services"
  wine_started=1
  WINEPREFIX=$prefix WINEDEBUG=-all wineserver -p30 </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix bash scripts/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1

  run_ctest build/win64

  # The benchmark as a Windows program, once at 500 files under Wine: again it must only
  # run through.
  step "benchmark under Wine"
  if bash scripts/bench.sh --wine --files 500 --repeat 1 </dev/null; then
    passed=$((passed + 1))
  else
    echo "== benchmark under Wine FAILED"
    failed=$((failed + 1))
  fi
fi
step "done"

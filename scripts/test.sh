#!/usr/bin/env bash
# Installs what is missing, builds all four builds, and runs the native, clang and Windows
# test suites through CTest, and the benchmark natively and under Wine. Its phases:
#   dependencies          scripts/install-deps.sh
#   sources               scripts/check-literals.sh, a test of its own
#   rooms                 scripts/check-rooms.sh, a test of its own
#   build native, build clang, build win64, build win32-check
#                         a build that fails counts as one failed test; its suite is skipped
#   ctest build/native    the native suite
#   ctest build/clang     the same tests built by clang, and the fuzz targets for a bounded time
#   benchmark             natively, at 2,000 files, a test of its own
# with the win64 build:
#   Wine prefix, X display, Wine services
#   ctest build/win64     the Windows suite under Wine
#   benchmark under Wine  at 500 files, a test of its own
# The last line is always the sum, "tests: N programs, N cases passed, N failed": the test
# programs that passed (CTest's, from its JUnit report, and the three above), the test cases
# among them (from GoogleTest's own XML reports), and the programs that failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
source scripts/wine-env.sh
prefix=$wine_test_prefix

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
    (wine_env "$prefix" && wineserver -k && wineserver -w) >/dev/null 2>&1 || true
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

# phase test|build NAME COMMAND... runs one phase and records its result: a phase that fails
# is said and counts as one failed test; one that passes counts as a passed test program when
# it is a test, and as nothing when it only builds. Returns the command's status.
phase() {
  local kind=$1 name=$2
  shift 2
  step "$name"
  if "$@"; then
    [ "$kind" != test ] || passed=$((passed + 1))
    return 0
  fi
  echo "== $name FAILED"
  failed=$((failed + 1))
  return 1
}

step "dependencies"
bash scripts/install-deps.sh

phase test sources bash scripts/check-literals.sh || true
phase test rooms bash scripts/check-rooms.sh || true

built=()
for build in native clang win64 win32-check; do
  if phase build "build $build" bash scripts/build.sh --no-deps "$build"; then
    built+=("$build")
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

# Prints the number an attribute of CTest's <testsuite> element holds, or nothing.
suite_count() {
  sed -n "s/.*[[:space:]]$1=\"\([0-9]\+\)\".*/\1/p" <<<"$2"
}

# Adds up the passed and failed programs of CTest's JUnit report as CTest's own summary
# does: a test it could not start fails, one that skipped itself (SKIP_RETURN_CODE or
# SKIP_REGULAR_EXPRESSION) passes, a disabled one is not counted. CTest failing although no
# test did (none found, say) is one failure more. Fails when the report is missing or has no
# counts. Usage: count_programs REPORT CTEST_STATUS
count_programs() {
  local report=$1 status=$2 suite tests failures disabled not_run skips bad
  [ -f "$report" ] || return 1
  # The element's attributes stand on lines of their own.
  suite=$(tr '\n' ' ' <"$report" | grep -m1 -o '<testsuite [^>]*') || return 1
  tests=$(suite_count tests "$suite")
  failures=$(suite_count failures "$suite")
  disabled=$(suite_count disabled "$suite")
  not_run=$(suite_count skipped "$suite")
  [ -n "$tests" ] && [ -n "$failures" ] && [ -n "$disabled" ] && [ -n "$not_run" ] || return 1
  skips=$(grep -c '<skipped message="SKIP_' "$report" || true)
  bad=$((failures + not_run - skips))
  passed=$((passed + tests - disabled - bad))
  failed=$((failed + bad))
  if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then
    failed=$((failed + 1))
  fi
}

run_ctest() {
  local dir=$1 status=0 report reports seen_as
  report=$root/$dir/ctest-report.xml
  reports=$root/$dir/gtest-reports
  rm -rf "$reports" "$report"
  # A Windows program takes "/work/..." for a folder on its current drive; Wine's Z: is "/".
  seen_as=$reports
  [ "$dir" != build/win64 ] || seen_as=Z:$reports
  step "ctest $dir"
  (cd "$dir" && GTEST_OUTPUT="xml:$seen_as/" ctest --output-on-failure --no-tests=error -j 2 \
    --output-junit "$report") 2>&1 || status=$?
  count_cases "$reports"
  if ! count_programs "$report" "$status"; then
    # CTest itself failed; the whole suite counts as one failure.
    echo "== ctest $dir left no report"
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
phase test benchmark bash scripts/bench.sh --files 2000 --repeat 1 || true

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
  (wine_env "$prefix" && wineserver -p30) </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix bash scripts/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1

  run_ctest build/win64

  # The benchmark as a Windows program, once at 500 files under Wine: again it must only
  # run through.
  phase test "benchmark under Wine" bash scripts/bench.sh --wine --files 500 --repeat 1 </dev/null || true
fi
step "done"

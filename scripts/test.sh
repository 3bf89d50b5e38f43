#!/usr/bin/env bash
# Installs what is missing, builds all three builds, and runs the native and the Windows
# test suites through CTest. A build that fails counts as one failed test and its suite is
# skipped. The last line is always the sum over both: "tests: N passed, N failed".
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
  echo "tests: $passed passed, $failed failed"
  [ "$failed" -eq 0 ] || exit 1
}
trap finish EXIT
# An interrupted run still stops its Xvfb and wineserver.
trap 'exit 130' INT TERM

step "dependencies"
bash scripts/install-deps.sh

built=()
for build in native win64 win32-check; do
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

run_ctest() {
  local dir=$1 log rc=0 total bad
  log=$(mktemp)
  step "ctest $dir"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j 2) 2>&1 | tee "$log" || rc=$?
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

# The fuzz target needs clang's libFuzzer, so it has a build of its own; its CTest test
# fuzzes for a bounded time.
step "build fuzz"
if { [ -f build/fuzz/CMakeCache.txt ] ||
     cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
       -DCMAKE_CXX_COMPILER=clang++ -DQUILLOWBY_SANITIZE=OFF -DQUILLOWBY_BUILD_TESTS=OFF >/dev/null; } &&
   cmake --build build/fuzz -j 2 --target name_fuzzer; then
  run_ctest build/fuzz/fuzz
else
  echo "== build fuzz FAILED"
  failed=$((failed + 1))
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

#!/usr/bin/env bash
# Builds the benchmark in build/bench (Release, no sanitizers: the figures of a sanitized
# build mean nothing) and runs it. With --wine first, builds it as a 64-bit Windows program
# in build/bench-win64 and runs it under Wine, in the prefix of build/win64 (the tests' own).
# Other arguments go to the benchmark unchanged:
#   --files N  --job fresh|shift|reverse|ordering|preview  --dir D  --repeat R
# Without any, it times 1,000, 10,000 and 100,000 files for every job.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ "${1:-}" = --wine ]; then
  shift
  build=build/bench-win64
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUILLOWBY_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target quillowby_bench >/dev/null
  WINEPREFIX=$PWD/build/win64/wineprefix exec bash scripts/wine-run.sh "$build/bench/quillowby_bench.exe" "$@"
fi

build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLOWBY_SANITIZE=OFF -DQUILLOWBY_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target quillowby_bench >/dev/null
exec "$build/bench/quillowby_bench" "$@"

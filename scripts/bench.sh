#!/usr/bin/env bash
# Builds the benchmark in build/bench (Release, no sanitizers: the figures of a sanitized
# build mean nothing) and runs it. Arguments go to the benchmark unchanged:
#   --files N  --job fresh|shift|reverse|ordering|preview  --dir D  --repeat R
# Without any, it times 1,000, 10,000 and 100,000 files for every job.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLOWBY_SANITIZE=OFF -DQUILLOWBY_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target quillowby_bench >/dev/null
exec "$build/bench/quillowby_bench" "$@"

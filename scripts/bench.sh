#!/usr/bin/env bash
# Builds the benchmark in build/bench (scripts/build.sh bench: Release, no sanitizers, since
# the figures of a sanitized build mean nothing) and runs it. With --wine first, builds it as
# a 64-bit Windows program in build/bench-win64 and runs it under Wine, in the tests' prefix
# (build/win64/wineprefix). Only the benchmark's own lines reach the output.
# Other arguments go to the benchmark unchanged:
#   --files N  --job fresh|shift|reverse|stop|ordering|preview|taken  --dir D  --repeat R
# Without any, it times 1,000, 10,000 and 100,000 files for every job.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ "${1:-}" = --wine ]; then
  shift
  bash scripts/build.sh --no-deps bench-win64 >/dev/null
  source scripts/wine-env.sh
  WINEPREFIX=$wine_test_prefix exec bash scripts/wine-run.sh build/bench-win64/bench/quillowby_bench.exe "$@"
fi

bash scripts/build.sh --no-deps bench >/dev/null
exec build/bench/bench/quillowby_bench "$@"

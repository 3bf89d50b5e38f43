#!/usr/bin/env bash
# Installs what is missing, then configures and builds. Every build folder is configured
# here and nowhere else:
#   native       build/native       Linux, g++, tests under AddressSanitizer and UBSan
#   clang        build/clang        Linux, clang, the same tests and the libFuzzer target
#   win64        build/win64        64-bit Windows (MinGW-w64): program and tests, run under Wine
#   win32-check  build/win32-check  32-bit Windows: the libraries only, a compile check
#   bench        build/bench        the benchmark, Release, no sanitizers (scripts/bench.sh)
#   bench-win64  build/bench-win64  the benchmark as a 64-bit Windows program, Release
# Usage: build.sh [--no-deps] [--target T] [names...]   (no names: the first four)
# --target builds only T in each named build instead of the build's own targets.
# Configuring runs every time (it is cheap), so changed options and new files are noticed;
# its output is left out, the build's is shown.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

install_deps=1
target=""
builds=()
while [ $# -gt 0 ]; do
  case $1 in
    --no-deps) install_deps=0 ;;
    --target)
      [ $# -ge 2 ] || { echo "build.sh: --target needs a target" >&2; exit 2; }
      target=$2
      shift
      ;;
    native | clang | win64 | win32-check | bench | bench-win64) builds+=("$1") ;;
    *) echo "build.sh: unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done
[ ${#builds[@]} -gt 0 ] || builds=(native clang win64 win32-check)

[ "$install_deps" -eq 0 ] || bash scripts/install-deps.sh

jobs=2
win64=-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

for build in "${builds[@]}"; do
  own_target=""
  case $build in
    native) options=(-DCMAKE_BUILD_TYPE=Debug) ;;
    clang)
      # Optimised, so that the fuzz target gets through many inputs in its time.
      options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
      ;;
    win64) options=(-DCMAKE_BUILD_TYPE=Debug "$win64") ;;
    win32-check)
      options=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
        -DQUILLOWBY_BUILD_TESTS=OFF)
      own_target=quillowby_libraries
      ;;
    # The figures of a sanitized or unoptimised build would mean nothing.
    bench)
      options=(-DCMAKE_BUILD_TYPE=Release -DQUILLOWBY_SANITIZE=OFF -DQUILLOWBY_BUILD_TESTS=OFF)
      own_target=quillowby_bench
      ;;
    bench-win64)
      options=(-DCMAKE_BUILD_TYPE=Release "$win64" -DQUILLOWBY_BUILD_TESTS=OFF)
      own_target=quillowby_bench
      ;;
  esac
  cmake -S . -B "build/$build" "${options[@]}" >/dev/null
  what=${target:-$own_target}
  cmake --build "build/$build" -j "$jobs" ${what:+--target "$what"}
done

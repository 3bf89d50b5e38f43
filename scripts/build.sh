#!/usr/bin/env bash
# Installs what is missing, then configures and builds:
#   native       build/native       Linux, g++, tests under AddressSanitizer and UBSan
#   clang        build/clang        Linux, clang, the same tests and the libFuzzer target
#   win64        build/win64        64-bit Windows (MinGW-w64): program and tests, run under Wine
#   win32-check  build/win32-check  32-bit Windows: the libraries only, a compile check
# Usage: build.sh [--no-deps] [native|clang|win64|win32-check ...]   (no names: all four)
# Configuring runs every time (it is cheap), so changed options and new files are noticed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

install_deps=1
builds=()
for arg in "$@"; do
  case $arg in
    --no-deps) install_deps=0 ;;
    native | clang | win64 | win32-check) builds+=("$arg") ;;
    *) echo "build.sh: unknown argument: $arg" >&2; exit 2 ;;
  esac
done
[ ${#builds[@]} -gt 0 ] || builds=(native clang win64 win32-check)

[ "$install_deps" -eq 0 ] || bash scripts/install-deps.sh

jobs=2

configure() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
}

for build in "${builds[@]}"; do
  case $build in
    native)
      configure build/native
      cmake --build build/native -j "$jobs"
      ;;
    clang)
      # Optimised, so that the fuzz target gets through many inputs in its time.
      cmake -S . -B build/clang -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ >/dev/null
      cmake --build build/clang -j "$jobs"
      ;;
    win64)
      configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
      cmake --build build/win64 -j "$jobs"
      ;;
    win32-check)
      configure build/win32-check -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
        -DQUILLOWBY_BUILD_TESTS=OFF
      cmake --build build/win32-check -j "$jobs" --target quillowby_libraries
      ;;
  esac
done

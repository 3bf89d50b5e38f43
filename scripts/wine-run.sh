#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine as the tests need it: the build's own prefix,
# ANSI code page 932, no debug chatter, no Mono or Gecko installers, no menu entries.
# CTest uses it as the cross-compiling emulator; by hand:
#   scripts/wine-run.sh build/win64/tests/engine_tests.exe
#
# The prefix is $WINEPREFIX when set, else <build folder>/wineprefix, the build folder being
# the nearest folder above the program that holds CMakeCache.txt. It is created when missing.
# An inherited $WINEPREFIX that wine-prefix.sh did not make is refused, never changed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=${1:?usage: wine-run.sh program.exe [arguments...]}

source "$here/wine-env.sh"
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(wine_build_prefix "$program") || {
    echo "wine-run.sh: $program is not inside a build folder; set WINEPREFIX" >&2
    exit 2
  }
fi
wine_env "$WINEPREFIX"

if ! bash "$here/wine-prefix.sh" "$WINEPREFIX"; then
  echo "wine-run.sh: not running in $WINEPREFIX; unset WINEPREFIX to use the build's own prefix" >&2
  exit 2
fi
exec wine "$@"

# Sourced by every script that runs Wine: the prefixes and the environment the Windows
# programs run in, in one place. Sourcing it changes no environment variable; wine_env does.

wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The tests' prefix, which the benchmark under Wine shares.
wine_test_prefix=$wine_root/build/win64/wineprefix
# The start command's own, so that stopping its program never touches a test run's Wine.
wine_start_prefix=$wine_root/build/win64/start-prefix

# wine_build_prefix PROGRAM prints the prefix of the build folder PROGRAM lies in,
# <build folder>/wineprefix, the build folder being the nearest folder above it that holds
# CMakeCache.txt. Fails when there is none.
wine_build_prefix() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd) || return 1
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
    dir=$(dirname "$dir")
  done
  [ -f "$dir/CMakeCache.txt" ] || return 1
  echo "$dir/wineprefix"
}

# wine_env PREFIX exports how Wine runs here: in PREFIX, 64-bit, without debug chatter, Mono
# or Gecko installers (they would ask questions) or menu entries (they would be written into
# $HOME), and with the Japanese locale, under which the ANSI code page is 932. Overrides
# already in WINEDLLOVERRIDES are added to its own.
wine_env() {
  export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
}

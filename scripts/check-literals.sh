#!/usr/bin/env bash
# The C++ sources are UTF-8 and compiled without any execution character set, so a plain
# string literal with a non-ASCII character would reach Windows as UTF-8 bytes. Japanese
# texts belong in the resource script's string table; tests spell code page 932 bytes out
# or write u8"..." and convert. Lists every offending line; fails when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
found=$(git ls-files -z -- '*.cpp' '*.h' | xargs -0 perl -ne '
  if (/[^\x00-\x7f]/) {
    s{//.*}{};
    s/u8"(?:[^"\\]|\\.)*"//g;
    print "$ARGV:$.: $_" if /[^\x00-\x7f]/;
  }
  close ARGV if eof;')
if [ -n "$found" ]; then
  echo "non-ASCII text outside comments and u8 literals:"
  echo "$found"
  exit 1
fi

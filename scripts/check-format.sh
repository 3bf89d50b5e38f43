#!/usr/bin/env bash
# Every tracked C++ file stays as clang-format lays it out under .clang-format. Lists the
# files that differ and fails when there is one; with --fix, formats every tracked C++ file
# in place instead. Only clang-format 14 is taken, the one Debian 12 installs (and CI with
# it): other versions lay some code out differently, and the check would then fail on
# files that are well formatted.
# Usage: scripts/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

fix=0
case "${1:-}" in
  "") ;;
  --fix) fix=1 ;;
  *)
    echo "usage: scripts/check-format.sh [--fix]" >&2
    exit 2
    ;;
esac

tool=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null 2>&1; then
    tool=$candidate
    break
  fi
done
if [ -z "$tool" ]; then
  echo "clang-format is missing: scripts/install-deps.sh installs it (Debian package clang-format)"
  exit 1
fi
if [ ! -f .clang-format ]; then
  echo ".clang-format is missing at the top of the repository"
  exit 1
fi
version=$("$tool" --version)
if ! grep -q 'clang-format version 14\.' <<<"$version"; then
  echo "clang-format 14 is needed, found: $version"
  exit 1
fi

if [ "$fix" -eq 1 ]; then
  git ls-files -z -- '*.cpp' '*.h' | xargs -0 -n 32 -P 2 "$tool" -i --style=file
  exit 0
fi

# A file that differs gives one warning a place, each line starting with its name.
if ! output=$(git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$tool" --dry-run --ferror-limit=1 --style=file 2>&1); then
  echo "clang-format failed:"
  echo "$output"
  exit 1
fi
found=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: .*/\1/p' <<<"$output" | sort -u)
if [ -n "$found" ]; then
  echo "not formatted as .clang-format says (scripts/check-format.sh --fix formats them):"
  echo "$found"
  exit 1
fi

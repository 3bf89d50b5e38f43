#!/usr/bin/env bash
# Draws the program's pictures again into res/images with the machine's own C++ compiler.
set -euo pipefail
art=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${CXX:-c++}" -std=c++17 -O1 -Wall -Wextra -o "$work/make-art" \
  "$art/Canvas.cpp" "$art/GlyphArt.cpp" "$art/MakeArt.cpp" "$art/SkinArt.cpp"
"$work/make-art" "$art/../images"

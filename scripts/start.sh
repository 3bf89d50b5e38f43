#!/usr/bin/env bash
# Builds Quillowby.exe (64-bit, MinGW-w64) and starts it under Wine.
# With a DISPLAY the program opens there and the script waits until it is closed. Without
# one, the program runs on a private Xvfb display; once its window is up, the script saves
# a screenshot of it (default build/screenshot.png, or the file given as first argument),
# stops the program and says where the picture is.
# With --preview first (and no DISPLAY), it types a folder of sample files into the window,
# presses F5 and saves the preview dialog instead (default build/preview.png).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
preview=no
if [ "${1:-}" = --preview ]; then
  preview=yes
  shift
fi
if [ "$preview" = yes ]; then
  screenshot=${1:-$root/build/preview.png}
else
  screenshot=${1:-$root/build/screenshot.png}
fi

source scripts/wine-env.sh
bash scripts/build.sh --target Quillowby win64
program=$root/build/win64/ui/Quillowby.exe

export WINEPREFIX=$wine_start_prefix
echo "Wine prefix: $WINEPREFIX (the desktop, where the log goes by default, is under drive_c/users)"

bash scripts/wine-prefix.sh "$WINEPREFIX"
# The window asks for the proportional Gothic face of Japanese Windows; the nearest free
# one is IPA's proportional Gothic. Without this Wine falls back to a fixed-pitch face.
if [ ! -f "$WINEPREFIX/.quillowby-fonts" ]; then
  (
    wine_env "$WINEPREFIX"
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
    # Wine's session must end here: one started without the display below would keep it.
    wineserver -w
  )
  touch "$WINEPREFIX/.quillowby-fonts"
fi

if [ -n "${DISPLAY:-}" ]; then
  exec bash scripts/wine-run.sh "$program"
fi

xvfb_pid=""
program_pid=""
cleanup() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -f "${frame:-}"
}
trap cleanup EXIT

source scripts/xvfb.sh
start_xvfb 800x600 || exit 1

bash scripts/wine-run.sh "$program" &
program_pid=$!

# The screen is black until the window is drawn; then the picture has more than one colour.
# The first start in a new prefix can take a while.
frame=$(mktemp --suffix=.xwd)
shown=no
for _ in $(seq 180); do
  sleep 1
  xwd -root -silent >"$frame"
  if [ "$(convert "$frame" -format '%k' info:)" -gt 1 ]; then
    shown=yes
    break
  fi
done
[ "$shown" = yes ] || { echo "the window did not appear" >&2; exit 1; }
# Let the window finish painting, then cut it out of the black screen.
sleep 2
if [ "$preview" = yes ]; then
  # The folder field has the focus when the window opens; the sample lies on drive C:.
  sample=$WINEPREFIX/drive_c/quillowby-sample
  rm -rf "$sample"
  mkdir -p "$sample"
  for name in 000.jpg IMG_2031.JPG IMG_2032.JPG 夏祭り.jpg スキャン.png 旅行メモ.txt; do
    echo "$name" >"$sample/$name"
  done
  main=$(xdotool search --name 'Quillowby Ver2.00' | head -n 1)
  xdotool windowfocus --sync "$main"
  xdotool type --delay 50 'c:\quillowby-sample'
  xdotool key F5
  dialog=""
  for _ in $(seq 30); do
    sleep 1
    dialog=$(xdotool search --name 'プレビュー' | head -n 1 || true)
    [ -z "$dialog" ] || break
  done
  [ -n "$dialog" ] || { echo "the preview did not appear" >&2; exit 1; }
  sleep 2
  xwd -id "$dialog" -silent >"$frame"
else
  xwd -root -silent >"$frame"
fi
mkdir -p "$(dirname "$screenshot")"
convert "$frame" -trim +repage "$screenshot"
echo "screenshot of the window: $screenshot"

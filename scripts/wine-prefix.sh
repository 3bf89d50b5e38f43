#!/usr/bin/env bash
# Creates the 64-bit Wine prefix the Windows programs run in, once; later calls find it
# ready and return at once. Usage: wine-prefix.sh <prefix folder>
#
# It only ever removes a prefix that it began to make itself and did not finish. A folder of
# that name that it did not make (a developer's own ~/.wine, say) is refused, left as it is;
# an empty one is filled.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

prefix=${1:?usage: wine-prefix.sh <prefix folder>}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
ready="$prefix/.quillowby-ready"
making="$prefix/.quillowby-making"
[ -f "$ready" ] && exit 0

# Something is there, it is not empty, and it is no creation of this script cut short.
refuse_foreign() {
  if [ ! -e "$prefix" ] || [ -f "$making" ] || [ -z "$(ls -A "$prefix")" ]; then
    return 0
  fi
  echo "wine-prefix.sh: $prefix exists and was not made by this script; it is left as it is." >&2
  echo "wine-prefix.sh: name a folder that does not exist yet, or remove that one yourself." >&2
  exit 1
}
refuse_foreign

# The prefix is made with Wine's own overrides alone: a caller's are meant for its program.
unset WINEDLLOVERRIDES
wine_env "$prefix"

# Two tests may find the prefix missing at the same time; one of them creates it.
exec 9>"$prefix.lock"
flock 9
[ -f "$ready" ] && exit 0
refuse_foreign

# What is there now was begun by this script and cut short.
if [ -f "$making" ]; then
  rm -rf "$prefix"
fi
mkdir -p "$prefix"
touch "$making"
wineboot -i >/dev/null 2>&1
reg_add() {
  wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}
# Without a window manager every closing window would wait about two seconds for one.
reg_add 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
# A crashing program must end with its exit code, not wait in a debugger dialog.
reg_add 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' Auto REG_SZ 1
reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' Debugger REG_SZ ''
wineserver -w

# Wine links Desktop, Documents and the like to $HOME; real folders keep what the
# programs write there (a log on the desktop) inside the prefix.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done
touch "$ready"
rm -f "$making"

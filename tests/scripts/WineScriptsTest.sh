#!/usr/bin/env bash
# The Wine helper scripts against stand-ins for Wine's programs: each case sets up a prefix
# folder, runs a script and checks what it did to the folder and which Wine programs it ran.
set -uo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Stand-ins that note their calls; wineboot makes a prefix's folders as Wine would.
mkdir "$work/bin"
for tool in wine wineboot wineserver; do
  cat >"$work/bin/$tool" <<STUB
#!/usr/bin/env bash
echo "$tool \$*" >>"$work/calls"
if [ "$tool" = wineboot ]; then mkdir -p "\$WINEPREFIX/drive_c/users/me"; fi
exit 0
STUB
  chmod +x "$work/bin/$tool"
done
export PATH="$work/bin:$PATH"

failures=0
check() {
  local name=$1 what=$2
  shift 2
  if ! "$@"; then
    echo "FAILED: $name: $what"
    failures=$((failures + 1))
  fi
}

# setup: missing, empty, foreign, cut-short, ready
make_prefix() {
  local prefix=$1 kind=$2
  case $kind in
    missing) ;;
    empty) mkdir "$prefix" ;;
    foreign) mkdir "$prefix" && echo mine >"$prefix/user.reg" ;;
    cut-short) mkdir "$prefix" && touch "$prefix/.quillowby-making" && echo old >"$prefix/user.reg" ;;
    ready) mkdir "$prefix" && touch "$prefix/.quillowby-ready" && echo mine >"$prefix/user.reg" ;;
  esac
}

# name | script | prefix kind | exit status | user.reg afterwards | prefix made | program run
cases=(
  "foreign prefix is refused|prefix|foreign|1|mine|no|no"
  "missing prefix is made|prefix|missing|0|none|yes|no"
  "empty folder is filled|prefix|empty|0|none|yes|no"
  "prefix cut short is made again|prefix|cut-short|0|none|yes|no"
  "ready prefix is left alone|prefix|ready|0|mine|no|no"
  "inherited foreign prefix is refused|run|foreign|2|mine|no|no"
  "inherited missing prefix is made|run|missing|0|none|yes|yes"
  "inherited ready prefix is used|run|ready|0|mine|no|yes"
)
ran() {
  grep -q "^$1" "$work/calls" 2>/dev/null && echo yes || echo no
}
for entry in "${cases[@]}"; do
  IFS='|' read -r name script kind status content made run <<<"$entry"
  prefix="$work/case/prefix"
  rm -rf "$work/case" "$work/calls"
  mkdir "$work/case"
  make_prefix "$prefix" "$kind"
  if [ "$script" = prefix ]; then
    bash "$scripts/wine-prefix.sh" "$prefix" >/dev/null 2>"$work/case/errors"
  else
    WINEPREFIX=$prefix bash "$scripts/wine-run.sh" program.exe >/dev/null 2>"$work/case/errors"
  fi
  got=$?
  check "$name" "exit status $got, expected $status" [ "$got" = "$status" ]
  actual=$(cat "$prefix/user.reg" 2>/dev/null || echo none)
  check "$name" "user.reg holds \"$actual\", expected \"$content\"" [ "$actual" = "$content" ]
  check "$name" "prefix made: $(ran wineboot), expected $made" [ "$(ran wineboot)" = "$made" ]
  check "$name" "program run: $(ran "wine program.exe"), expected $run" [ "$(ran "wine program.exe")" = "$run" ]
  if [ "$status" != 0 ]; then
    check "$name" "no message" grep -q "not made by this script" "$work/case/errors"
  else
    check "$name" "prefix not ready" [ -f "$prefix/.quillowby-ready" ]
    check "$name" "creation marker left" [ ! -e "$prefix/.quillowby-making" ]
  fi
done

echo "wine scripts: ${#cases[@]} cases, $failures failures"
[ "$failures" -eq 0 ]

# Sourced by the scripts that need an X display: start_xvfb WIDTHxHEIGHT starts Xvfb on a
# free display, exports DISPLAY and sets xvfb_pid; the caller stops it.
start_xvfb() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  [ -s "$display_file" ] || { echo "Xvfb did not start" >&2; rm -f "$display_file"; return 1; }
  export DISPLAY=":$(head -n1 "$display_file")"
  rm -f "$display_file"
}

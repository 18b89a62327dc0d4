# A private Xvfb for the end-to-end scripts; source it. start_x SCREEN [XVFB_OPTION...] (SCREEN for
# example 640x480x24) ends the server started before, starts a fresh one on a display it picks, exports
# DISPLAY and sets xpid; the script kills "$xpid" when it ends. find_dialog TITLE waits up to 30 s for
# a top-level window of that title (a message dialog) on the current display and sets dialog to its id;
# wait_for_window (below) waits for a window by name.
xpid=""

start_x() {
  local screen=$1 number_file
  shift
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  # Xvfb picks a free display itself and writes its number once it accepts clients. Choosing one here
  # raced with the other tests' servers: a display taken meanwhile answered xdpyinfo for a server
  # that was not ours, and vanished when that test ended. -noreset: by default the server resets
  # when its last client leaves, and a client that connects during the reset (openbox just after
  # the xdpyinfo below) is refused.
  number_file=$(mktemp /tmp/moravel-xdisplay.XXXXXX)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset "$@" 3>"$number_file" >/dev/null 2>&1 &
  xpid=$!
  for _ in $(seq 100); do
    if grep -q '^[0-9][0-9]*$' "$number_file" 2>/dev/null && kill -0 "$xpid" 2>/dev/null; then
      export DISPLAY=":$(cat "$number_file")"
      rm -f "$number_file"
      DISPLAY=$DISPLAY xdpyinfo >/dev/null 2>&1 && return 0
      break
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  kill "$xpid" 2>/dev/null
  echo "cannot start Xvfb"; exit 1
}

# wait_for_window PATTERN SECONDS waits for a window whose name matches the regular expression and
# sets window to it. Each look is one plain xdotool search: a search ends with an X error when a
# window goes away while it walks the tree (a dialog closing, Wine's windows at start-up), and with
# --sync such an error ended the whole wait at once, as if no window would ever come.
wait_for_window() {
  local pattern=$1 seconds=$2 deadline
  deadline=$(($(date +%s) + seconds))
  window=""
  while :; do
    window=$(xdotool search --name "$pattern" 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    [ "$(date +%s)" -lt "$deadline" ] || break
    sleep 0.1
  done
  echo "waited $seconds s for a window named '$pattern' on $DISPLAY: none came"
  return 1
}

find_dialog() {
  dialog=""
  for _ in $(seq 300); do
    dialog=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\"" 'index($0, title) { print $1; exit }')
    [ -n "$dialog" ] && return 0
    sleep 0.1
  done
  echo "waited 30 s for a window titled '$1' on $DISPLAY: none came"
  return 1
}

# A private Xvfb for the end-to-end scripts; source it. start_x SCREEN [XVFB_OPTION...] (SCREEN for
# example 640x480x24) ends the server started before, starts a fresh one on a free display, exports
# DISPLAY and sets xpid; the script kills "$xpid" when it ends. find_dialog TITLE waits up to 30 s for
# a top-level window of that title (a message dialog) on the current display and sets dialog to its id.
xpid=""

start_x() {
  local screen=$1
  shift
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  for attempt in 1 2 3 4 5; do
    display=":$((200 + RANDOM % 700))"
    Xvfb "$display" -screen 0 "$screen" -nolisten tcp "$@" >/dev/null 2>&1 &
    xpid=$!
    for _ in $(seq 50); do
      DISPLAY=$display xdpyinfo >/dev/null 2>&1 && export DISPLAY=$display && return 0
      sleep 0.1
    done
    kill "$xpid" 2>/dev/null
  done
  echo "cannot start Xvfb"; exit 1
}

find_dialog() {
  dialog=""
  for _ in $(seq 300); do
    dialog=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\"" 'index($0, title) { print $1; exit }')
    [ -n "$dialog" ] && return 0
    sleep 0.1
  done
  return 1
}

#!/usr/bin/env bash
# The real demo under Xvfb: its window and caption, the three ways a user ends it, and the
# framed-window fallback when the display has no 640 x 480 mode.
# Usage: demo_e2e.sh DIST_DIR CLOSE_WINDOW_HELPER AUDIO_PROBE
set -u
dist=$(cd "$1" && pwd)
closer=$(realpath "$2")
probe=$(realpath "$3")
work=$(mktemp -d /tmp/moravel-e2e.XXXXXX)
. "$(dirname "$0")/demo_session.sh"

cleanup() {
  [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# 1. The window, its caption once a second, and Escape held.
start_x 640x480x24
start_demo escape MORAVEL_MESSAGES=stderr
if find_window; then
  pass "the window appears with its title"
  caption=""
  for _ in $(seq 100); do
    caption=$(xdotool getwindowname "$window" 2>/dev/null)
    [[ "$caption" =~ ^Moravel\ by\ Ostrevia\ 2k4\ \ \ \[[0-9]+\ FPS\]$ ]] && break
    sleep 0.2
  done
  [[ "$caption" =~ FPS\]$ ]] && pass "the caption shows the frame rate: $caption" || fail "no frame rate in the caption: '$caption'"
  xwd -root -silent | convert xwd:- "$work/escape.png" 2>/dev/null && pass "screenshot taken"
  grep -q 'Nie moge przelaczyc' "$run_dir/stderr" && fail "a 640x480 screen refused the full-screen mode"
  escape_demo
  [ "$code" = 0 ] && pass "Escape ends the run with exit code 0" || fail "Escape: exit $code"
  # The sound device wrote everything it played into a file: the music, unchanged, starting
  # only after the loading frame, not with the device, and where the demo clock was by then, a
  # buffer or two (23.2 ms each) into the music.
  if report=$("$probe" "$run_dir/audio.raw" "$run_dir/data/muza_demo.ogg"); then
    start=$(echo "$report" | sed -n 's/^music_start_ms=//p')
    from=$(echo "$report" | sed -n 's/^music_from_ms=//p')
    awk -v s="$start" -v f="$from" 'BEGIN { exit !(s > 0 && f < 250) }' \
      && pass "the music plays, sample for sample, from ${start} ms after the device opened, ${from} ms into itself" \
      || fail "the music started with the device, before the first frame, or far into itself: $report"
  else
    fail "the sound file does not hold the music: $report"
  fi
else
  fail "no window titled 'Moravel by Ostrevia 2k4'"; kill -9 "$demo_pid" 2>/dev/null
fi

# 2. A left click.
start_demo click MORAVEL_MESSAGES=stderr
if find_window; then
  sleep 1
  xdotool mousemove --sync 320 240 click 1
  wait_demo 30
  [ "$code" = 0 ] && pass "a left click ends the run with exit code 0" || fail "click: exit $code"
else
  fail "no window for the click test"; kill -9 "$demo_pid" 2>/dev/null
fi

# 3. Closing the window, as a window manager asks it to.
start_demo close MORAVEL_MESSAGES=stderr
if find_window; then
  sleep 1
  "$closer" "$window"
  wait_demo 30
  [ "$code" = 0 ] && pass "closing the window ends the run with exit code 0" || fail "close: exit $code"
else
  fail "no window for the close test"; kill -9 "$demo_pid" 2>/dev/null
fi

# 4. SIGTERM: the run ends through the normal teardown, not by being killed.
start_demo term MORAVEL_MESSAGES=stderr
if find_window; then
  sleep 1
  kill -TERM "$demo_pid"
  wait_demo 30
  [ "$code" = 0 ] && pass "SIGTERM ends the run through the teardown with exit code 0" || fail "SIGTERM: exit $code"
else
  fail "no window for the SIGTERM test"; kill -9 "$demo_pid" 2>/dev/null
fi

# 5. A screen without a 640 x 480 mode: the message, then a framed window.
start_x 1024x768x24
start_demo fallback MORAVEL_MESSAGES=stderr
if find_window; then
  sleep 2
  grep -q '^Zendra Error: Nie moge przelaczyc do trybu pelnoekranowego!$' "$run_dir/stderr" \
    && pass "the full-screen refusal is reported" || fail "no full-screen refusal message on stderr"
  geometry=$(xdotool getwindowgeometry "$window")
  echo "$geometry" | grep -q 'Geometry: 640x480' && pass "a 640x480 window" || fail "window geometry: $geometry"
  kill -0 "$demo_pid" 2>/dev/null && pass "the run goes on in a window" || fail "the run ended"
  escape_demo
  [ "$code" = 0 ] && pass "the windowed run ends with exit code 0" || fail "windowed: exit $code"
else
  fail "no window on the 1024x768 screen"; kill -9 "$demo_pid" 2>/dev/null
fi

[ "$failures" -eq 0 ] || { echo "$failures end-to-end check(s) failed"; exit 1; }
echo "all end-to-end checks passed"

#!/usr/bin/env bash
# The real demo on a desktop: Xvfb with a real window manager (openbox). Full screen, the framed
# window with its letterbox band, closing through the window manager, a real message dialog that
# holds the run until the user presses OK, and what the user is told when no dialog can be shown.
# Usage: desktop_e2e.sh DIST_DIR
set -u
dist=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/moravel-desktop.XXXXXX)
wmpid=""
. "$(dirname "$0")/demo_session.sh"

cleanup() {
  [ -n "${demo_pid:-}" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh X server of the given screen with openbox managing it; returns once openbox owns the screen.
start_desktop() {
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null && wait "$wmpid" 2>/dev/null
  start_x "$1"
  # A window manager that could not open the display (it happens now and then on a loaded machine,
  # on a server xdpyinfo has just reached) is started again, up to three times.
  for _ in 1 2 3; do
    XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wmpid=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$wmpid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$wmpid" 2>/dev/null && wait "$wmpid" 2>/dev/null
  done
  echo "openbox did not start"; cat "$work/openbox.log"; exit 1
}

# The absolute position and size of a window's client area: sets wx, wy, ww, wh.
client_geometry() {
  local info
  info=$(xwininfo -id "$1")
  wx=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
  wy=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
  ww=$(echo "$info" | sed -n 's/.*Width: *//p')
  wh=$(echo "$info" | sed -n 's/.*Height: *//p')
}

# The brightest value (0 to 255) and the mean (0 to 255) of a rectangle W H X Y of a screenshot.
brightest() { convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -format '%[fx:round(255*maxima)]' info:; }
mean() { convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -format '%[fx:round(255*mean)]' info:; }

# The start-up viewport is a band 630 x 360 whose lower edge is 50 rows above the bottom of the
# client area; everything else in it is only ever cleared to black. Checks a screenshot of the
# client area at (wx, wy), ww x wh.
check_band() {
  local shot=$1 what=$2 top=$((wh - 50 - 360))
  if [ "$top" -lt 1 ] || [ "$ww" -lt 631 ]; then
    fail "$what: a client area of ${ww}x${wh} has no room for the band"; return
  fi
  local above below right inside
  above=$(brightest "$shot" "$ww" "$top" "$wx" "$wy")
  below=$(brightest "$shot" "$ww" 50 "$wx" $((wy + wh - 50)))
  right=$(brightest "$shot" $((ww - 630)) 360 $((wx + 630)) $((wy + top)))
  inside=$(mean "$shot" 630 360 "$wx" $((wy + top)))
  if [ "$above" -le 8 ] && [ "$below" -le 8 ] && [ "$right" -le 8 ] && [ "$inside" -ge 20 ]; then
    pass "$what: the picture stays in its band, black above ($top rows), below (50) and right ($((ww - 630)) columns)"
  else
    fail "$what: no letterbox band (brightest above $above, below $below, right $right; band mean $inside)"
  fi
}

# (a) Full screen: a 640 x 480 screen under the window manager.
start_desktop 640x480x24
start_demo fullscreen MORAVEL_MESSAGES=stderr
if find_window; then
  pass "full screen: the window appears"
  sleep 4
  client_geometry "$window"
  [ "$wx,$wy,$ww,$wh" = "0,0,640,480" ] && pass "full screen: the window covers the screen" \
    || fail "full screen: the window is ${ww}x${wh} at $wx,$wy"
  frame=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p')
  [ -z "$frame" ] || [ "$frame" = "0, 0, 0, 0" ] && pass "full screen: no window frame" || fail "full screen: a frame of $frame"
  grep -q 'Nie moge przelaczyc' "$run_dir/stderr" && fail "full screen: the 640x480 mode was refused"
  xwd -root -silent | convert xwd:- "$work/fullscreen.png"
  check_band "$work/fullscreen.png" "full screen"
  escape_demo
  [ "$code" = 0 ] && pass "full screen: Escape ends the run with exit code 0" || fail "full screen: Escape, exit $code"
else
  fail "full screen: no window"; kill -9 "$demo_pid" 2>/dev/null
fi

# (b) A screen without a 640 x 480 mode: the refusal, then a framed window of outer size 640 x 480
# whose picture keeps the start-up band.
start_desktop 1024x768x24
start_demo framed MORAVEL_MESSAGES=stderr
if find_window; then
  sleep 4
  grep -q '^Zendra Error: Nie moge przelaczyc do trybu pelnoekranowego!$' "$run_dir/stderr" \
    && pass "framed: the full-screen refusal is reported" || fail "framed: no full-screen refusal on stderr"
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p')
  read -r left right top bottom <<<"${extents//,/ }"
  client_geometry "$window"
  if [ -n "$extents" ] && [ $((left + right + top + bottom)) -gt 0 ]; then
    pass "framed: the window manager framed the window ($extents)"
    [ $((ww + left + right))x$((wh + top + bottom)) = 640x480 ] \
      && pass "framed: outer size 640x480, client area ${ww}x${wh}" \
      || fail "framed: outer size $((ww + left + right))x$((wh + top + bottom)), client ${ww}x${wh}"
  else
    fail "framed: no window frame (_NET_FRAME_EXTENTS '$extents')"
  fi
  xwd -root -silent | convert xwd:- "$work/framed.png"
  check_band "$work/framed.png" "framed"
  escape_demo
  [ "$code" = 0 ] && pass "framed: Escape ends the run with exit code 0" || fail "framed: Escape, exit $code"
else
  fail "framed: no window"; kill -9 "$demo_pid" 2>/dev/null
fi

# (c) The window manager's close: it asks the window to close, the run ends normally.
start_demo close MORAVEL_MESSAGES=stderr
if find_window; then
  sleep 2
  wmctrl -i -c "$window"
  wait_demo 30
  [ "$code" = 0 ] && pass "close: closing through the window manager ends the run with exit code 0" \
    || fail "close: exit $code"
  xwininfo -id "$window" >/dev/null 2>&1 && fail "close: the window is still there" || pass "close: the window is gone"
else
  fail "close: no window"; kill -9 "$demo_pid" 2>/dev/null
fi

# (d) A real dialog: the sound system cannot start, so the sound set-up reports it in a dialog
# that holds the run until OK is pressed; then the demo goes on, silent.
start_desktop 640x480x24
start_demo dialog SDL_AUDIODRIVER=no-such-driver
# The window manager's list of the windows it manages: the dialog's title is in UTF-8, which
# xdotool's name search does not match.
dialog=""
for _ in $(seq 600); do
  dialog=$(wmctrl -l | awk '{ id = $1; $1 = $2 = $3 = ""; sub(/^ +/, ""); if ($0 == "Sound") print id }' | head -n 1)
  [ -n "$dialog" ] && break
  kill -0 "$demo_pid" 2>/dev/null && ! grep -q 'cannot show the message' "$run_dir/stderr" || break
  sleep 0.1
done
if [ -n "$dialog" ]; then
  title=$(xprop -id "$dialog" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([^)]*) = "\(.*\)"$/\1/p')
  type=$(xprop -id "$dialog" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.* = //p')
  [ "$title" = "Sound" ] && pass "dialog: a dialog window ($type) titled 'Sound' appears" || fail "dialog: title '$title'"
  sleep 1
  client_geometry "$dialog"
  xwd -root -silent | convert xwd:- -crop "${ww}x${wh}+${wx}+${wy}" +repage "$work/dialog.png"
  convert "$work/dialog.png" -colorspace gray -negate -resize 400% "$work/dialog-ocr.png"
  text=$(tesseract "$work/dialog-ocr.png" - 2>/dev/null | tr '\n' ' ')
  [[ "$text" =~ initiali[sz]e ]] && [[ "$text" =~ [Ss]ound\ system ]] \
    && pass "dialog: it shows its text: '$text'" || fail "dialog: OCR reads '$text'"
  # Held: nothing is drawn while the dialog is open, so no frame rate ever reaches the caption.
  caption="" caption_later=""
  wait_for_window '^Moravel by Ostrevia 2k4' 10 && caption=$(xdotool getwindowname "$window" 2>/dev/null)
  sleep 3
  wait_for_window '^Moravel by Ostrevia 2k4' 10 && caption_later=$(xdotool getwindowname "$window" 2>/dev/null)
  if kill -0 "$demo_pid" 2>/dev/null && xwininfo -id "$dialog" >/dev/null 2>&1 \
     && [ "$caption_later" = "Moravel by Ostrevia 2k4" ]; then
    pass "dialog: the run waits while it is open (caption '$caption' -> '$caption_later')"
  else
    fail "dialog: the run did not wait (caption '$caption' -> '$caption_later')"
  fi
  xdotool windowactivate --sync "$dialog" 2>/dev/null
  xdotool key Return
  for _ in $(seq 50); do xwininfo -id "$dialog" >/dev/null 2>&1 || break; sleep 0.1; done
  xwininfo -id "$dialog" >/dev/null 2>&1 && fail "dialog: Return did not close it" || pass "dialog: Return presses OK"
  if find_window; then
    caption=""
    for _ in $(seq 50); do
      caption=$(xdotool getwindowname "$window" 2>/dev/null)
      [[ "$caption" =~ \[[1-9][0-9]*\ FPS\]$ ]] && break
      sleep 0.2
    done
    [[ "$caption" =~ \[[1-9][0-9]*\ FPS\]$ ]] && pass "dialog: after OK the demo runs: $caption" || fail "dialog: no frames after OK: '$caption'"
    sleep 2
    client_geometry "$window"
    xwd -root -silent | convert xwd:- "$work/after-dialog.png"
    check_band "$work/after-dialog.png" "after the dialog"
    escape_demo
    [ "$code" = 0 ] && pass "dialog: Escape then ends the run with exit code 0" || fail "dialog: Escape, exit $code"
  else
    fail "dialog: no demo window after OK"; kill -9 "$demo_pid" 2>/dev/null
  fi
  grep -q '^Sound: Can.t initialize digital sound system$' "$run_dir/stderr" \
    && pass "dialog: the message is echoed to stderr" || fail "dialog: no echo on stderr"
else
  fail "dialog: no dialog titled 'Sound'"; kill -9 "$demo_pid" 2>/dev/null
fi
grep -q 'cannot show the message as a dialog' "$run_dir/stderr" && fail "dialog: $(grep 'cannot show' "$run_dir/stderr")"

# (e) An X server without core fonts, and no window manager: SDL cannot draw its dialog. The user
# is told so, the message is still on stderr, and the run goes on.
kill "$wmpid" 2>/dev/null && wait "$wmpid" 2>/dev/null
wmpid=""
start_x 640x480x24 -fp built-ins
start_demo no-fonts SDL_AUDIODRIVER=no-such-driver
if find_window; then
  for _ in $(seq 100); do grep -q 'cannot show the message as a dialog' "$run_dir/stderr" && break; sleep 0.1; done
  grep -q '^Sound: Can.t initialize digital sound system$' "$run_dir/stderr" \
    && pass "no fonts: the message is on stderr" || fail "no fonts: no message on stderr"
  reason=$(sed -n 's/^moravel: cannot show the message as a dialog: \(..*\)$/\1/p' "$run_dir/stderr")
  [ -n "$reason" ] && pass "no fonts: the failed dialog is reported: $reason" \
    || fail "no fonts: nothing says the dialog could not be shown"
  sleep 2
  caption=$(xdotool getwindowname "$window" 2>/dev/null)
  [[ "$caption" =~ \[[1-9][0-9]*\ FPS\]$ ]] && pass "no fonts: the run goes on: $caption" || fail "no fonts: caption '$caption'"
  escape_demo
  [ "$code" = 0 ] && pass "no fonts: Escape ends the run with exit code 0" || fail "no fonts: Escape, exit $code"
else
  fail "no fonts: no window"; kill -9 "$demo_pid" 2>/dev/null
fi

[ "$failures" -eq 0 ] || { echo "$failures desktop check(s) failed"; exit 1; }
echo "all desktop checks passed"

#!/usr/bin/env bash
# The player's options on real displays: the command line, a framed window (and K times larger)
# under a window manager, the desktop's own resolution, pausing with Space, presenting in step under
# a Wayland compositor, and Wayland itself: played on a compositor with a seat, refused with a
# clear message on one without.
# Usage: player_e2e.sh DIST_DIR
set -u
dist=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/moravel-player.XXXXXX)
. "$(dirname "$0")/demo_session.sh"
wm_pid=""
weston_pid=""

cleanup() {
  [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The client size of a window, "WxH".
client_size() {
  xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# Frames in a sync trace ("us demo_ms music_ms" per presented frame) once the demo time passed 1 s:
# their mean interval in ms.
mean_frame_ms() {
  awk '$2 > 1000 { if (n++) total += $1 - previous; previous = $1 } END { if (n > 1) printf "%.1f", total / (n - 1) / 1000; else print "none" }' "$1"
}

# 1. The command line: help, version, and what is refused (exit 2), before any display is needed.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dist/moravel" --help); code=$?
[ "$code" = 0 ] && pass "--help exits 0" || fail "--help: exit $code"
for option in --window --scale --desktop --vsync --loop --help --version Space Escape; do
  grep -q -- "$option" <<<"$help" || fail "--help does not mention $option"
done
version=$(env -u DISPLAY "$dist/moravel" --version); code=$?
[[ "$code" = 0 && "$version" =~ ^moravel\ \(Moravel\)\ [0-9]+\.[0-9]+\.[0-9]+$ ]] && pass "--version: $version" \
  || fail "--version: exit $code, '$version'"
refused() {
  local expected=$1 out
  shift
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dist/moravel" "$@" 2>&1 >/dev/null); code=$?
  [ "$code" = 2 ] && grep -q -- "$expected" <<<"$out" && pass "refused with exit 2: $* ($expected)" \
    || fail "$*: exit $code, '$out'"
}
refused "unknown option --bogus" --bogus
refused "goes with --window" --scale 2
refused "do not go together" --window --desktop
refused "whole number from 1 to 8" --window --scale 0
refused "unexpected argument" --window extra

# 2. A framed window under a real window manager: the client area is the picture, the mode stays.
start_x 1600x1200x24
openbox >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
screen_before=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
for scale in 1 2; do
  start_demo "window$scale" MORAVEL_MESSAGES=stderr -- --window --scale "$scale"
  if find_window; then
    sleep 4
    size=$(client_size "$window")
    [ "$size" = "$((640 * scale))x$((480 * scale))" ] && pass "--window --scale $scale: a $size client area" \
      || fail "--window --scale $scale: client area $size"
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null)
    [[ "$extents" =~ =\ [0-9] ]] && [[ ! "$extents" =~ "= 0, 0, 0, 0" ]] && pass "the window manager framed it ($extents)" \
      || fail "no frame around the window: $extents"
    import -window "$window" "$work/window$scale.png" 2>/dev/null
    # A picture rendered at K times has detail in every 2 x 2 block; one stretched from 640 x 480
    # would come back unchanged from halving and doubling it.
    if [ "$scale" = 2 ]; then
      lost=$(convert "$work/window2.png" \( +clone -sample 50% -sample 200% \) -metric AE -compare -format '%[distortion]' info: 2>/dev/null)
      awk -v n="$lost" 'BEGIN { exit !(n > 20000) }' && pass "drawn at 1280 x 960, not stretched ($lost pixels lost by halving)" \
        || fail "the picture looks stretched: $lost pixels differ after halving and doubling"
    fi
    grep -q 'Nie moge przelaczyc' "$run_dir/stderr" && fail "--window asked for a mode switch"
    escape_demo
    [ "$code" = 0 ] && pass "Escape ends the window's run with exit 0" || fail "window run: exit $code"
  else
    fail "no window for --window --scale $scale"; kill -9 "$demo_pid" 2>/dev/null
  fi
done
[ "$(xdpyinfo | awk '/dimensions:/ { print $2 }')" = "$screen_before" ] && pass "the screen stayed $screen_before" \
  || fail "the screen changed from $screen_before"
kill "$wm_pid" 2>/dev/null; wm_pid=""

# 3. The desktop's own resolution: 1280 x 800 holds the picture at 1067 x 800, black bars beside it.
start_x 1280x800x24
start_demo desktop MORAVEL_MESSAGES=stderr -- --desktop
if find_window; then
  sleep 5
  size=$(client_size "$window")
  [ "$size" = 1280x800 ] && pass "--desktop covers the 1280 x 800 desktop" || fail "--desktop window is $size"
  import -window root "$work/desktop.png" 2>/dev/null
  mean() { convert "$work/desktop.png" -crop "$1" +repage -format '%[fx:int(255*maxima)]' info: 2>/dev/null; }
  left=$(mean 106x800+0+0)
  right=$(mean 106x800+1174+0)
  middle=$(convert "$work/desktop.png" -crop 1066x800+107+0 +repage -format '%[fx:int(255*mean)]' info:)
  [ "$left" = 0 ] && [ "$right" = 0 ] && pass "black beside the picture" || fail "the bars are not black: $left / $right"
  [ "$middle" -gt 10 ] && pass "the picture fills the middle (mean $middle)" || fail "the middle is dark: $middle"
  [ "$(xdpyinfo | awk '/dimensions:/ { print $2 }')" = 1280x800 ] && pass "the mode stayed 1280 x 800" \
    || fail "the mode changed"
  escape_demo
  [ "$code" = 0 ] && pass "Escape ends the desktop run with exit 0" || fail "desktop run: exit $code"
else
  fail "no window for --desktop"; kill -9 "$demo_pid" 2>/dev/null
fi

# 4. Space pauses the picture and the music together, and resumes both from where they stood.
start_demo pause MORAVEL_MESSAGES=stderr MORAVEL_SYNC_TRACE="$work/pause.trace" -- --window
if find_window; then
  sleep 5
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key space
  sleep 3
  xdotool key space
  sleep 3
  escape_demo
  [ "$code" = 0 ] && pass "Escape ends the paused-and-resumed run" || fail "pause run: exit $code"
  # The longest wait between two presented frames is the pause; across it the demo time stands still.
  read -r gap step <<<"$(awk 'NR > 1 && $1 - p > gap { gap = $1 - p; step = $2 - d } { p = $1; d = $2 }
    END { printf "%d %d", gap / 1000, step }' "$work/pause.trace")"
  [ "$gap" -ge 2500 ] && pass "nothing was presented for $gap ms while paused" || fail "no pause in the frames: longest gap $gap ms"
  [ "$step" -ge 0 ] && [ "$step" -lt 100 ] && pass "the demo time went on $step ms across the pause" \
    || fail "the demo time jumped $step ms across the pause"
  # A second after the resume the music plays where the picture is.
  drift=$(awk -v gap="$gap" 'NR > 1 && $1 - p >= gap * 1000 { resumed = $1 } { p = $1 }
    resumed && $1 > resumed + 1000000 && $3 >= 0 { d = $3 - $2; print (d < 0 ? -d : d); exit }' "$work/pause.trace")
  [ -n "$drift" ] && awk -v d="$drift" 'BEGIN { exit !(d < 100) }' && pass "the music resumed with the picture (${drift} ms apart)" \
    || fail "the music is not with the picture after the resume: '$drift'"
else
  fail "no window for the pause"; kill -9 "$demo_pid" 2>/dev/null
fi

# 5. Wayland. A compositor without a seat (weston's headless backend): a clear message, no crash.
if ! command -v weston >/dev/null; then
  fail "weston is not installed"
else
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  weston --backend=headless-backend.so --socket=headless --idle-time=0 --no-config >"$work/weston-headless.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/headless" ] && break; sleep 0.1; done
  out=$(cd "$work" && env -u DISPLAY WAYLAND_DISPLAY=headless SDL_VIDEODRIVER=wayland MORAVEL_MESSAGES=stderr \
    timeout 30 "$dist/moravel" 2>&1); code=$?
  [ "$code" = 1 ] && grep -q "has no seat" <<<"$out" && pass "no seat: exit 1 with a clear message" \
    || fail "weston without a seat: exit $code, '$out'"
  kill "$weston_pid"; wait "$weston_pid" 2>/dev/null; weston_pid=""

  # A compositor with a seat: weston in a window of the X server, whose keyboard it passes on.
  start_x 1024x768x24
  weston --backend=x11-backend.so --socket=nested --idle-time=0 --no-config --width=1024 --height=768 \
    >"$work/weston-nested.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/nested" ] && break; sleep 0.1; done
  sleep 2
  weston_window=""
  wait_for_window 'Weston Compositor' 10 && weston_window=$window
  for options in "" "--desktop --vsync"; do
    name=wayland$([ -n "$options" ] && echo -desktop)
    # Under the sanitizers, leak checks stay off for these runs alone: SDL's Wayland backend and
    # libdecor leave some 8 kB unfreed at exit (a bare SDL window on weston shows the same), none of it ours.
    # shellcheck disable=SC2086 # the options are words
    start_demo "$name" WAYLAND_DISPLAY=nested SDL_VIDEODRIVER=wayland MORAVEL_MESSAGES=stderr \
      ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" MORAVEL_SYNC_TRACE="$work/$name.trace" -- $options
    sleep 8
    if kill -0 "$demo_pid" 2>/dev/null; then
      frames=$(awk '$2 > 1000' "$work/$name.trace" | wc -l)
      [ "$frames" -gt 20 ] && pass "plays under Wayland ${options:-as written}: $frames frames past 1 s" \
        || fail "under Wayland ${options:-as written}: $frames frames"
      import -window root "$work/$name.png" 2>/dev/null
      bright=$(convert "$work/$name.png" -format '%[fx:int(255*mean)]' info:)
      [ "$bright" -gt 10 ] && pass "the compositor shows the picture (mean $bright)" || fail "the compositor shows nothing: $bright"
      [ -n "$options" ] && {
        interval=$(mean_frame_ms "$work/$name.trace")
        awk -v m="$interval" 'BEGIN { exit !(m >= 14) }' && pass "--vsync presents in step: $interval ms a frame" \
          || fail "--vsync presents faster than the display: $interval ms a frame"
      }
      # Held, as a user holds it: a tap that goes down and up between two frames is not seen.
      xdotool windowactivate --sync "$weston_window" 2>/dev/null
      xdotool keydown Escape
      wait_demo 30
      xdotool keyup Escape
      [ "$code" = 0 ] && pass "Escape through the compositor ends the run" || fail "Wayland run: exit $code"
    else
      wait "$demo_pid"; code=$?; demo_pid=""
      fail "the demo ended under Wayland with exit $code: $(tail -n 3 "$run_dir/stderr")"
    fi
    grep -q "has no seat" "$run_dir/stderr" && fail "the nested compositor was taken for one without a seat"
  done
fi

echo "$failures failure(s)"
[ "$failures" = 0 ]

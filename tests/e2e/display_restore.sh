#!/usr/bin/env bash
# The display mode under a real X server that can switch modes: the demo goes to 640 x 480 and the
# screen is back at 1024 x 768 however the run ends (Escape, a click, the window closed, SIGTERM,
# a model file that cannot be read).
# Usage: display_restore.sh DIST_DIR CLOSE_WINDOW_HELPER
# Needs root (it starts Xorg with the dummy video driver on a free display); exits 77 (skipped)
# where that cannot be done.
set -u
dist=$(cd "$1" && pwd)
closer=$2
work=$(mktemp -d /tmp/moravel-display.XXXXXX)
failures=0
xpid=""
demo_pid=""
. "$(dirname "$0")/x_server.sh"

cleanup() {
  [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A failed check also says how the last demo ended and what its stderr ended with.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
  [ -n "${run_dir:-}" ] && [ -f "$run_dir/stderr" ] || return 0
  echo "    the demo's exit code: ${code:-not yet ended}; the last lines of its stderr ($run_dir/stderr):"
  tail -n 12 "$run_dir/stderr" | sed 's/^/    | /'
}
pass() { echo "ok: $*"; }
skip() { echo "skipped: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "starting Xorg needs root"
command -v Xorg >/dev/null || skip "no Xorg (xserver-xorg-core)"
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip "no dummy video driver (xserver-xorg-video-dummy)"
command -v xrandr >/dev/null || skip "no xrandr (x11-xserver-utils)"

# A screen of 1024 x 768 that also offers 640 x 480, and no input devices to wait for.
cat >"$work/xorg.conf" <<'EOF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
  Modeline "640x480" 25.175 640 656 752 800 480 490 492 525 -hsync -vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768" "640x480"
    Virtual 1024 768
  EndSubSection
EndSection
Section "ServerLayout"
  Identifier "layout"
  Screen "screen"
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
EOF

start_xorg() {
  for attempt in 1 2 3 4 5; do
    local n=$((300 + RANDOM % 600))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xorg ":$n" -config "$work/xorg.conf" -noreset -nolisten tcp -novtswitch -sharevts \
      -logfile "$work/xorg.$n.log" >/dev/null 2>&1 &
    xpid=$!
    for _ in $(seq 100); do
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && export DISPLAY=":$n" && return 0
      kill -0 "$xpid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; xpid=""
  done
  skip "Xorg with the dummy driver does not start here"
}

# The screen's current size as WxH, from the RandR extension and from the core protocol; both must agree.
screen_size() {
  local randr core
  randr=$(xrandr --current 2>/dev/null | sed -n 's/^Screen 0:.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
  core=$(xdpyinfo 2>/dev/null | sed -n 's/^ *dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p')
  [ "$randr" = "$core" ] && echo "$randr" || echo "randr=$randr,core=$core"
}

# Waits up to $2 tenths of a second for the screen to be $1; prints what it last saw.
wait_screen() {
  local seen
  for _ in $(seq "$2"); do
    seen=$(screen_size)
    [ "$seen" = "$1" ] && { echo "$seen"; return 0; }
    sleep 0.1
  done
  echo "$seen"
  return 1
}

# Starts the demo in a release folder of its own (optionally with its own archive); sets demo_pid, run_dir.
start_demo() {
  run_dir=$work/$1
  mkdir -p "$run_dir"
  cp "$dist/moravel" "$dist/vfs.dll" "$run_dir/"
  cp "${2:-$dist/moravel.vfs}" "$run_dir/moravel.vfs"
  code=""
  (cd "$run_dir" && exec env SDL_AUDIODRIVER=dummy MORAVEL_MESSAGES=stderr ./moravel >stdout 2>stderr) &
  demo_pid=$!
}

find_window() {
  wait_for_window '^Moravel by Ostrevia 2k4' 60
}

# Waits for the demo to end; sets code to its exit status, or "timeout".
wait_demo() {
  for _ in $(seq $(($1 * 10))); do
    if ! kill -0 "$demo_pid" 2>/dev/null; then
      wait "$demo_pid"
      code=$?
      demo_pid=""
      return
    fi
    sleep 0.1
  done
  echo "waited $1 s for the demo (pid $demo_pid) to end: it did not; killed"
  kill -9 "$demo_pid" 2>/dev/null
  wait "$demo_pid" 2>/dev/null
  demo_pid=""
  code=timeout
}

# One way of ending a run: the demo must have switched to 640x480, end with the expected code and
# leave the screen at 1024x768.
check_case() {
  local name=$1 action=$2 expected=$3
  start_demo "$name"
  if ! find_window; then
    fail "$name: no window"; kill -9 "$demo_pid" 2>/dev/null; demo_pid=""
    return
  fi
  seen=$(wait_screen 640x480 100) && pass "$name: the screen switched to $seen" || fail "$name: the screen is $seen, not 640x480"
  sleep 1
  $action
  wait_demo 30
  [ "$code" = "$expected" ] && pass "$name: exit code $code" || fail "$name: exit $code, expected $expected"
  seen=$(wait_screen 1024x768 10) && pass "$name: the screen is back at $seen" || fail "$name: the screen stayed at $seen"
}

press_escape() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown Escape
  sleep 0.5
  # Released on the server even when the window is gone, or the next run starts with Escape held.
  xdotool keyup Escape
}
click() { xdotool mousemove --sync 320 240 click 1; }
close_window() { "$closer" "$window"; }
terminate() { kill -TERM "$demo_pid" 2>/dev/null; }

start_xorg
seen=$(screen_size)
[ "$seen" = 1024x768 ] || { echo "the dummy screen starts at $seen"; exit 1; }
xrandr --current | grep -q '^ *640x480 ' || { echo "the dummy screen offers no 640x480 mode"; exit 1; }

check_case escape press_escape 0
check_case click click 0
check_case close close_window 0
check_case sigterm terminate 0

# SIGTERM while a dialog waits for OK (dialogs on, the sound set-up fails) in full screen: the loop
# cannot get to the close, so the watchdog ends the run, and puts the screen back first.
run_dir=$work/dialog code=""
mkdir -p "$run_dir"
cp "$dist/moravel" "$dist/vfs.dll" "$dist/moravel.vfs" "$run_dir/"
(cd "$run_dir" && exec env SDL_AUDIODRIVER=no-such-driver ./moravel >stdout 2>stderr) &
demo_pid=$!
if find_dialog Sound; then
  seen=$(screen_size)
  [ "$seen" = 640x480 ] && pass "dialog: shown in full screen at $seen" || fail "dialog: the screen is $seen"
  kill -TERM "$demo_pid"
  wait_demo 10
  [ "$code" = 143 ] && pass "dialog: SIGTERM ends the run with exit code $code" || fail "dialog: exit $code"
  seen=$(wait_screen 1024x768 10) && pass "dialog: the screen is back at $seen" || fail "dialog: the screen stayed at $seen"
else
  fail "dialog: no dialog titled Sound"; kill -9 "$demo_pid" 2>/dev/null; demo_pid=""
fi

# A model file that does not parse, in the archive itself so that the extractor cannot mend it.
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cp "$dist/moravel.vfs" . && "$dist/vfs.dll" --e data >/dev/null) || { echo "cannot unpack the archive"; exit 1; }
printf 'not a model\r\n' >"$work/unpacked/data/roza.txt"
"$dist/vfs.dll" --p "$work/unpacked/data" "$work/bad-model.vfs" >/dev/null || { echo "cannot pack the damaged archive"; exit 1; }
# With dialogs on, the model message holds the run in the switched mode until OK is pressed; polling
# for the short time the mode lasts without it misses it on a loaded machine.
run_dir=$work/model code=""
mkdir -p "$run_dir"
cp "$dist/moravel" "$dist/vfs.dll" "$run_dir/"
cp "$work/bad-model.vfs" "$run_dir/moravel.vfs"
(cd "$run_dir" && exec env SDL_AUDIODRIVER=dummy ./moravel >stdout 2>stderr) &
demo_pid=$!
if find_dialog "Model File Error"; then
  seen=$(screen_size)
  [ "$seen" = 640x480 ] && pass "model failure: the message shows in the switched mode, $seen" \
    || fail "model failure: the screen is $seen under the message"
  xdotool windowfocus "$dialog" 2>/dev/null
  xdotool key --window "$dialog" Return
else
  fail "model failure: no message dialog"
fi
wait_demo 60
[ "$code" != 0 ] && [ "$code" != timeout ] && pass "model failure: exit code $code" || fail "model failure: exit $code"
grep -q '^Model File Error: data\\roza.txt' "$run_dir/stderr" && pass "model failure: the model message" \
  || fail "model failure: no model message"
seen=$(wait_screen 1024x768 10) && pass "model failure: the screen is back at $seen" || fail "model failure: the screen stayed at $seen"

[ "$failures" -eq 0 ] || { echo "$failures display check(s) failed"; exit 1; }
echo "all display checks passed"

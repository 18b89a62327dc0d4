#!/usr/bin/env bash
# The Windows release under Wine: the 64-bit build of the same sources plays in Xvfb with a fresh
# Wine prefix and its sound captured to a file; the full-screen refusal on a screen without the
# mode; the 32-bit release's format and imports; JPEG pixels against the Linux build's.
# Usage: windows-tests.sh [LINUX_BUILD_DIR]   (default build-test, ./test.sh's; run scripts/build-windows.sh first)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(cd "${1:-$root/build-test}" && pwd)
win=$root/build-win
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
work=$(mktemp -d /tmp/moravel-wine.XXXXXX)
failures=0
passes=0
xpid=""

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME=$work/home

cleanup() {
  "${wine%/*}/wineserver" -k >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A failed check also says how the last demo started ended and what its stderr ended with.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
  [ -n "${run_dir:-}" ] && [ -f "$run_dir/stderr" ] || return 0
  echo "    the demo's exit code: ${code:-not yet ended}; the last lines of its stderr ($run_dir/stderr):"
  tail -n 12 "$run_dir/stderr" | tr -d '\r' | sed 's/^/    | /'
}
pass() { echo "ok: $*"; passes=$((passes + 1)); }

for file in "$win/x86_64/moravel.exe" "$win/x86_64/vfs.dll" "$win/x86_64/jpeg_pixels.exe" "$win/i686/moravel.exe" \
  "$win/i686/vfs.dll" "$win/moravel-win32.zip" "$linux/dist/moravel.vfs" "$linux/dist/vfs.dll" \
  "$linux/tests/windows/jpeg_pixels"; do
  [ -f "$file" ] || { echo "missing $file: run ./test.sh's build and scripts/build-windows.sh first"; exit 1; }
done

. "$root/tests/e2e/x_server.sh"

# ALSA's default device writes what it is given to a WAV file, so waveOut has a device to open.
set_up_sound() {
  mkdir -p "$HOME"
  cat >"$HOME/.asoundrc" <<EOF
pcm.!default {
  type file
  slave.pcm "null"
  file "$work/audio-%p.wav"
  format "wav"
}
EOF
}

# Starts the 64-bit demo in a release folder of its own; sets demo_pid and run_dir.
start_demo() {
  run_dir=$work/$1
  mkdir -p "$run_dir"
  cp "$win/x86_64/moravel.exe" "$win/x86_64/vfs.dll" "$linux/dist/moravel.vfs" "$run_dir/"
  code=""
  (cd "$run_dir" && exec "$wine" moravel.exe >"$run_dir/stdout" 2>"$run_dir/stderr") &
  demo_pid=$!
}

find_window() {
  wait_for_window "^$1" 90
}

wait_demo() {
  for _ in $(seq $(($1 * 10))); do
    if ! kill -0 "$demo_pid" 2>/dev/null; then
      wait "$demo_pid"
      code=$?
      return
    fi
    sleep 0.1
  done
  echo "waited $1 s for the demo (pid $demo_pid) to end: it did not; killed"
  kill -9 "$demo_pid" 2>/dev/null
  code=timeout
}

hold_escape() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown Escape
  wait_demo 30
  xdotool keyup Escape
}

# The archive unpacked by the Linux extractor: what data/ must hold, byte for byte.
expected=$work/expected
"$linux/dist/vfs.dll" --e "$expected" >/dev/null || { echo "cannot unpack the archive on Linux"; exit 1; }

echo "== a fresh Wine prefix"
set_up_sound
start_x 640x480x24
"$wine" wineboot -i >"$work/wineboot.log" 2>&1
"${wine%/*}/wineserver" -w 2>/dev/null || true

echo "== the 64-bit build on a 640x480 screen"
start_demo play
if find_window 'Moravel by Ostrevia 2k4'; then
  pass "the window appears titled 'Moravel by Ostrevia 2k4'"
  if diff -r "$expected" "$run_dir/data" >/dev/null; then
    pass "vfs.dll --e data unpacked every file before the window appeared"
  else
    fail "data/ differs from the archive when the window appears"
  fi
  caption=""
  for _ in $(seq 100); do
    caption=$(xdotool getwindowname "$window" 2>/dev/null)
    [[ "$caption" =~ ^Moravel\ by\ Ostrevia\ 2k4\ \ \ \[[0-9]+\ FPS\]$ ]] && break
    sleep 0.2
  done
  [[ "$caption" =~ FPS\]$ ]] && pass "the caption shows the frame rate: $caption" || fail "no frame rate in the caption: '$caption'"
  if grep -q -e 'Nie moge przelaczyc' -e 'refused' "$run_dir/stderr"; then
    fail "ChangeDisplaySettingsA refused 640x480x32: $(cat "$run_dir/stderr")"
  else
    pass "ChangeDisplaySettingsA switched to 640x480x32"
  fi
  geometry=$(xdotool getwindowgeometry "$window")
  echo "$geometry" | grep -q 'Geometry: 640x480' && pass "a full-screen 640x480 window" || fail "window: $geometry"
  sleep 3
  xwd -root -silent | convert xwd:- "$work/play.png" 2>/dev/null
  deviation=$(convert "$work/play.png" -colorspace Gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
  mean=$(convert "$work/play.png" -format '%[fx:mean]' info: 2>/dev/null)
  if awk -v m="${mean:-0}" -v d="${deviation:-0}" 'BEGIN { exit !(m > 0.05 && d > 0.05) }'; then
    pass "a screenshot after a few seconds shows the opening scene (mean $mean, deviation $deviation)"
  else
    fail "the screenshot is black or flat (mean $mean, deviation $deviation)"
  fi
  grep -q '^Sound:' "$run_dir/stderr" && fail "sound failure: $(grep '^Sound:' "$run_dir/stderr")"
  hold_escape
  [ "$code" = 0 ] && pass "Escape held ends the run with exit code 0" || fail "Escape: exit $code"
  audio=$(ls -S "$work"/audio-*.wav 2>/dev/null | head -n 1)
  if [ -n "$audio" ] && python3 "$root/scripts/windows_audio_check.py" "$audio" "$run_dir/data/muza_demo.ogg"; then
    pass "the captured sound is the music"
  else
    fail "the captured sound is not the music (${audio:-no file})"
  fi
else
  fail "no window titled 'Moravel by Ostrevia 2k4'"; kill -9 "$demo_pid" 2>/dev/null
fi

echo "== the 64-bit build started from another working folder"
elsewhere=$work/elsewhere
run_dir=$work/release-folder
mkdir -p "$elsewhere" "$run_dir"
cp "$win/x86_64/moravel.exe" "$win/x86_64/vfs.dll" "$linux/dist/moravel.vfs" "$run_dir/"
(cd "$elsewhere" && exec "$wine" "$run_dir/moravel.exe" >"$run_dir/stdout" 2>"$run_dir/stderr") &
demo_pid=$!
if find_window 'Moravel by Ostrevia 2k4'; then
  diff -r "$expected" "$run_dir/data" >/dev/null && pass "the data is unpacked into the release folder" \
    || fail "data/ in the release folder differs from the archive"
  [ -z "$(ls -A "$elsewhere")" ] && pass "nothing is written into the working folder" \
    || fail "the working folder holds: $(ls -A "$elsewhere")"
  hold_escape
  [ "$code" = 0 ] && pass "the run ends on Escape with exit code 0" || fail "from another folder: exit $code"
else
  fail "no window when started from another folder"; kill -9 "$demo_pid" 2>/dev/null
fi

echo "== the 64-bit build on a 1024x768 screen"
# -k only asks the server to end: a program started before it has gone joins the dying server and
# never shows a window. -w waits until it has gone.
"${wine%/*}/wineserver" -k >/dev/null 2>&1
"${wine%/*}/wineserver" -w 2>/dev/null || true
start_x 1024x768x24
start_demo windowed
if find_window 'Zendra Error'; then
  pass "a message box appears"
  tr -d '\r' <"$run_dir/stderr" | grep -q '^Zendra Error: Nie moge przelaczyc do trybu pelnoekranowego!$' \
    && pass "it says 'Nie moge przelaczyc do trybu pelnoekranowego!'" || fail "no full-screen refusal: $(cat "$run_dir/stderr")"
  # Its OK button sits centred at the bottom of the box.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 22)) click 1
  if find_window 'Moravel by Ostrevia 2k4'; then
    sleep 3
    kill -0 "$demo_pid" 2>/dev/null && pass "after the message the run goes on" || fail "the run ended"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" -lt 640 ] && [ "$HEIGHT" -lt 480 ] && [ "$X" -gt 0 ] && [ "$Y" -gt 0 ] \
      && pass "in a framed window of outer size 640x480 (client ${WIDTH}x${HEIGHT} at $X,$Y)" \
      || fail "window client ${WIDTH}x${HEIGHT} at $X,$Y"
    hold_escape
    [ "$code" = 0 ] && pass "the windowed run ends on Escape with exit code 0" || fail "windowed: exit $code"
  else
    fail "no demo window after the message"; kill -9 "$demo_pid" 2>/dev/null
  fi
else
  fail "no message box on the 1024x768 screen"; kill -9 "$demo_pid" 2>/dev/null
fi

echo "== the 32-bit release"
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)
unpacked=$work/zip
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$win/moravel-win32.zip")
[ "$(cd "$unpacked" && ls | sort | tr '\n' ' ')" = "moravel.exe moravel.vfs vfs.dll " ] \
  && pass "moravel-win32.zip holds moravel.exe, vfs.dll and moravel.vfs" || fail "zip holds: $(ls "$unpacked")"
system_dlls='^(kernel32|user32|gdi32|opengl32|glu32|winmm|msvcrt)\.dll$'
for program in moravel.exe vfs.dll; do
  headers=$("$objdump" -p "$unpacked/$program" 2>/dev/null)
  echo "$headers" | grep -q 'file format pei-i386' && echo "$headers" | grep -q '^Magic.*010b' \
    && pass "$program is PE32 for i386" || fail "$program is not PE32 i386"
  imports=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  others=$(echo "$imports" | grep -v -E "$system_dlls")
  [ -z "$others" ] && pass "$program imports only system DLLs: $(echo $imports)" || fail "$program imports $(echo $others)"
done

echo "== JPEG pixels, Windows build against Linux build"
pictures=$(cd "$expected" && ls *.jpg)
linux_pixels=$(cd "$expected" && "$linux/tests/windows/jpeg_pixels" $pictures)
windows_pixels=$(cd "$expected" && "$wine" "$win/x86_64/jpeg_pixels.exe" $pictures 2>/dev/null | tr -d '\r')
count=$(echo "$linux_pixels" | wc -l)
if [ -n "$linux_pixels" ] && [ "$linux_pixels" = "$windows_pixels" ]; then
  pass "all $count shipped JPEG pictures decode to the same pixels"
else
  fail "JPEG pixels differ:"; diff <(echo "$linux_pixels") <(echo "$windows_pixels") | head -20
fi

echo "Wine tests took ${SECONDS}s"
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# The real demo the way users start it, under Xvfb: from another working folder, as an ordinary user
# with a release folder it cannot write, with its window destroyed or its display connection cut
# by another client, without any display, and with an entry the extractor cannot write. Each trial
# checks what the user sees (the window, the messages) and what is left on disk.
# Usage: where_users_run_it.sh DIST_DIR
set -u
dist=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/moravel-users.XXXXXX)
chmod 755 "$work"

cleanup() {
  [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

. "$(dirname "$0")/demo_session.sh"
start_x 640x480x24
export SDL_AUDIODRIVER=dummy

# Starts a demo in the background from folder $1 with the rest as the command; sets demo_pid.
# Its stdout and stderr go to $work/NAME.out and .err.
start_in() {
  local from=$1 name=$2; shift 2
  demo_err=$work/$name.err code=""
  (cd "$from" && exec "$@" >"$work/$name.out" 2>"$work/$name.err") &
  demo_pid=$!
}

# 1. Started by its full path from a folder that holds the user's own data/: the data goes into the
#    release folder, and the working folder is left exactly as it was.
release=$work/release
make_release "$release"
home=$work/home
mkdir -p "$home/data"
echo "the user's own picture" >"$home/data/logo.tga"
before=$(cd "$home" && find . -printf '%p %s %T@\n' | sort)
start_in "$home" other-folder env MORAVEL_MESSAGES=stderr "$release/moravel"
if find_window; then
  escape_demo
  [ "$code" = 0 ] && pass "from another folder: Escape ends the run with exit code 0" || fail "from another folder: exit $code"
  after=$(cd "$home" && find . -printf '%p %s %T@\n' | sort)
  check "the working folder is left untouched (the user's data/logo.tga too)" [ "$before" = "$after" ]
  check "the data went into the release folder: $(ls "$release/data" | wc -l) files" \
    [ "$(ls "$release/data" | wc -l)" -ge 32 ]
  check "no message was shown" [ ! -s "$work/other-folder.err" ]
else
  fail "from another folder: no window"
fi

# 2. An ordinary user and a release folder owned by root that the user cannot write: the data goes
#    to the per-user folder, keyed by the archive; a second run rewrites nothing; a new release
#    gets a folder of its own. Dialogs are on: with every file in place there must be none.
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
  as_user="runuser -u nobody --"
  installed=$work/installed
  make_release "$installed"
  chmod -R a+rX,go-w "$installed"
  cache=$work/nobody-cache
  mkdir -p "$cache"; chown nobody "$cache"
  start_in "$work" readonly $as_user env XDG_CACHE_HOME="$cache" "$installed/moravel"
  if find_window; then
    escape_demo
    [ "$code" = 0 ] && pass "read-only release as nobody: Escape ends the run with exit code 0" \
      || fail "read-only release as nobody: exit $code"
    check "nothing was written into the read-only release folder" [ ! -e "$installed/data" ]
    keyed=$(ls -d "$cache"/moravel/*/ 2>/dev/null)
    check "one per-user folder keyed by the archive: ${keyed#"$cache/"}" [ "$(echo "$keyed" | grep -c .)" = 1 ]
    check "it holds the data, owned by the user" \
      [ "$(find "$cache/moravel" -path '*/data/*' -type f -user nobody | wc -l)" -ge 32 ]
    grep -v '^vfs.dll: [0-9]* of [0-9]* files written' "$work/readonly.err" | grep -q . \
      && fail "messages were shown: $(cat "$work/readonly.err")" || pass "no message was shown, no dialog"
    stamps=$(find "$cache/moravel" -type f -printf '%p %T@\n' | sort)
    start_in "$work" readonly-again $as_user env XDG_CACHE_HOME="$cache" "$installed/moravel"
    if find_window; then
      escape_demo
      check "a second run finds every file intact and rewrites none" \
        [ "$stamps" = "$(find "$cache/moravel" -type f -printf '%p %T@\n' | sort)" ]
      grep -q 'vfs.dll: 0 of' "$work/readonly-again.out" && pass "the extractor says it wrote nothing" \
        || fail "the second extraction: $(cat "$work/readonly-again.out")"
    else
      fail "second read-only run: no window"
    fi

    # A new release: another archive (here: the same files and one more) never reads the old data.
    newer=$work/newer
    mkdir -p "$newer/pack"
    cp "$cache"/moravel/*/data/* "$newer/pack/"
    echo "new in this release" >"$newer/pack/readme.txt"
    "$dist/vfs.dll" --p "$newer/pack" "$newer/moravel.vfs" >/dev/null
    cp "$dist/moravel" "$dist/vfs.dll" "$newer/"
    rm -rf "$newer/pack"
    chmod -R a+rX,go-w "$newer"
    start_in "$work" newer $as_user env XDG_CACHE_HOME="$cache" "$newer/moravel"
    if find_window; then
      escape_demo
      check "a new release unpacks into a folder of its own" [ "$(ls -d "$cache"/moravel/*/ | wc -l)" = 2 ]
      check "holding its own files" [ -n "$(find "$cache/moravel" -name readme.txt)" ]
    else
      fail "new release: no window"
    fi
  else
    fail "read-only release as nobody: no window"
  fi

  # Without XDG_CACHE_HOME the per-user folder is ~/.cache/moravel.
  userhome=$work/nobody-home
  mkdir -p "$userhome"; chown nobody "$userhome"
  start_in "$work" home-cache $as_user env -u XDG_CACHE_HOME HOME="$userhome" MORAVEL_MESSAGES=stderr "$installed/moravel"
  if find_window; then
    escape_demo
    check "without XDG_CACHE_HOME the data goes to ~/.cache/moravel" \
      [ "$(find "$userhome/.cache/moravel" -path '*/data/*' -type f | wc -l)" -ge 32 ]
  else
    fail "~/.cache run: no window"
  fi

  # 3. Nowhere to write at all: the first message names the real cause, then come the loaders' own
  #    (the run then ends, as it does whenever the model files are missing).
  start_in "$work" nowhere $as_user env XDG_CACHE_HOME=/proc/nowhere HOME=/nonexistent MORAVEL_MESSAGES=stderr \
    "$installed/moravel"
  wait_demo 60
  messages=$(grep -E '^[A-Za-z][A-Za-z. ]*: ' "$work/nowhere.err")
  first=$(head -n 1 <<<"$messages")
  [ "$first" = "vfs.dll: The demo's data could not be unpacked:" ] \
    && grep -A1 -F "$first" "$work/nowhere.err" | tail -n 1 | grep -q 'cannot be written, and neither can the per-user folder: cannot create /proc/nowhere' \
    && pass "nowhere to unpack: the first message names the cause: $(grep -A1 -F "$first" "$work/nowhere.err" | tail -n 1)" \
    || fail "nowhere to unpack: the messages begin: $(head -n 3 "$work/nowhere.err")"
  sed -n '2,$p' <<<"$messages" | grep -q 'data\\tlo3.jpg' && pass "then the loaders report their missing files" \
    || fail "no loader messages after the unpacking failure"
  check "nothing was written anywhere: the release folder is as it was" [ ! -e "$installed/data" ]
else
  echo "skipped: the ordinary-user trials need root and a user nobody"
fi

# 4. An entry the extractor cannot write (a folder is in the way): it writes every other file,
#    and the first message names that entry and why.
blocked=$work/blocked
make_release "$blocked"
mkdir -p "$blocked/data/logo.tga"
start_in "$work" blocked env MORAVEL_MESSAGES=stderr "$blocked/moravel"
if find_window; then
  escape_demo
  first=$(head -n 1 "$work/blocked.err")
  [ "$first" = "vfs.dll: The demo's data could not be unpacked:" ] && pass "a blocked entry: the unpacking failure comes first" \
    || fail "a blocked entry: the messages begin with: $first"
  # The message's own lines run up to the next message, the logo's loader saying it cannot load it.
  reason=$(sed -n '2,/^[A-Z][A-Za-z ]*: /p' "$work/blocked.err" | sed '$d')
  grep -q '^cannot write data/logo.tga: Is a directory$' <<<"$reason" && grep -q 'could not be written.*logo.tga' <<<"$reason" \
    && pass "it names the entry that could not be written and why" || fail "the failed entry is not named: $(cat "$work/blocked.err")"
  grep -q '^TGA Texture: .*logo.tga' "$work/blocked.err" && pass "then the logo's loader reports it" \
    || fail "the logo's loader said nothing"
  check "every other entry was written: $(find "$blocked/data" -type f | wc -l) files" \
    [ "$(find "$blocked/data" -type f | wc -l)" -ge 31 ]
else
  fail "a blocked entry: no window"
fi

# 5. The window destroyed by another client, and the display connection cut (xkill): the run ends
#    as on a close, with its teardown and exit code 0, instead of hanging.
for how in windowclose xkill; do
  start_in "$work" "$how" env MORAVEL_MESSAGES=stderr "$release/moravel"
  if find_window; then
    sleep 1
    if [ "$how" = windowclose ]; then xdotool windowclose "$window"; else xkill -id "$window" >/dev/null; fi
    wait_demo 10
    [ "$code" = 0 ] && pass "$how: the run ends with exit code 0 after ${took} ms" || fail "$how: exit $code"
    grep -q -e 'the window was destroyed by another program' -e 'the connection to the display was lost' \
      "$work/$how.err" && pass "$how: it says why: $(head -n 1 "$work/$how.err")" || fail "$how: $(cat "$work/$how.err")"
  else
    fail "$how: no window"
  fi
done

# 6. SIGTERM with the process stopped, then continued: it ends through the teardown, exit code 0.
start_in "$work" sigterm env MORAVEL_MESSAGES=stderr "$release/moravel"
if find_window; then
  sleep 1
  kill -STOP "$demo_pid"; kill -TERM "$demo_pid"; sleep 1; kill -CONT "$demo_pid"
  wait_demo 10
  [ "$code" = 0 ] && pass "SIGTERM while stopped: the run ends after SIGCONT with exit code 0" || fail "SIGTERM while stopped: exit $code"
else
  fail "sigterm: no window"
fi

# SIGTERM while the demo waits for a stalled extractor, before any window: a watchdog ends it within
# a second, saying it skipped the teardown (there is nothing to tear down yet).
stalled=$work/stalled
make_release "$stalled"
printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 30\n' "$work/stalled.pid" >"$stalled/vfs.dll"
start_in "$work" stalled env MORAVEL_MESSAGES=stderr "$stalled/moravel"
sleep 1
kill -TERM "$demo_pid"
wait_demo 10
[ -s "$work/stalled.pid" ] && kill "$(cat "$work/stalled.pid")" 2>/dev/null
[ "$code" = 143 ] && pass "SIGTERM while waiting for the extractor: ends after ${took} ms with 128 + SIGTERM" \
  || fail "SIGTERM while waiting for the extractor: exit $code"
grep -q 'did not end within a second of the signal' "$work/stalled.err" && pass "and says so" \
  || fail "SIGTERM while waiting: $(cat "$work/stalled.err")"

# SIGTERM while a real dialog waits for OK (dialogs on; the sound set-up fails): the dialog's own
# loop never hands the close on, so the watchdog ends the run.
start_in "$work" dialog env SDL_AUDIODRIVER=no-such-driver "$release/moravel"
if find_dialog Sound; then
  kill -TERM "$demo_pid"
  wait_demo 10
  [ "$code" = 143 ] && pass "SIGTERM while a dialog is open: ends after ${took} ms with 128 + SIGTERM" \
    || fail "SIGTERM while a dialog is open: exit $code"
else
  fail "no dialog titled Sound: $(cat "$work/dialog.err")"; kill -9 "$demo_pid" 2>/dev/null
fi

# 7. No display, or one that cannot be reached: one message that says so, names the variables and
#    the capture tool, a failure code at once, and nothing unpacked.
nodisplay=$work/nodisplay
make_release "$nodisplay"
for setting in "-u DISPLAY" "DISPLAY=:1999"; do
  start_in "$work" nodisplay env -u WAYLAND_DISPLAY $setting "$nodisplay/moravel"
  wait_demo 10
  err=$(cat "$work/nodisplay.err")
  [ "$code" != timeout ] && [ "$code" != 0 ] && pass "no display ($setting): exit $code after ${took} ms" \
    || fail "no display ($setting): exit $code"
  echo "$err" | grep -q '^moravel: there is no display to play on: DISPLAY.*WAYLAND_DISPLAY' \
    && echo "$err" | grep -q 'moravel-capture' && pass "no display ($setting): '$(head -n 1 <<<"$err")'" \
    || fail "no display ($setting): said: $err"
  check "no display ($setting): nothing was unpacked" [ ! -e "$nodisplay/data" ]
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"

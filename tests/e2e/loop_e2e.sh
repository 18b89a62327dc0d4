#!/usr/bin/env bash
# --loop: after the end picture the demo starts again, clock and music from their beginning, and
# plays on until Escape. Takes the whole two minutes and a few seconds of the second time round.
# Usage: loop_e2e.sh DIST_DIR
set -u
dist=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/moravel-loop.XXXXXX)
. "$(dirname "$0")/demo_session.sh"

cleanup() {
  [ -n "$demo_pid" ] && kill -9 "$demo_pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

trace=$work/loop.trace
start_x 640x480x24
start_demo loop MORAVEL_MESSAGES=stderr MORAVEL_SYNC_TRACE="$trace" -- --window --loop
if find_window; then
  # The second time round has begun once a frame past the end is followed by frames from the start.
  for _ in $(seq 200); do
    awk '$2 > 121100 { ended = 1 } ended && $2 > 4000 && $2 < 100000 { found = 1 } END { exit !found }' "$trace" 2>/dev/null && break
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 1
  done
  if kill -0 "$demo_pid" 2>/dev/null; then
    pass "still running after the end picture"
    read -r last first <<<"$(awk '$2 > 121100 { last = $2; ended = 1; next } ended && !first { first = $2 } END { print last + 0, first + 0 }' "$trace")"
    [ "$last" -gt 121100 ] && [ "$first" -lt 100 ] && pass "the clock went from $last ms back to $first ms" \
      || fail "no restart from the beginning: $last then $first"
    # The music starts again with the clock: four seconds into the second time round, it is where
    # the picture is.
    drift=$(awk '$2 > 121100 { ended = 1 } ended && $2 > 4000 && $2 < 100000 && $3 >= 0 { d = $3 - $2; print (d < 0 ? -d : d); exit }' "$trace")
    [ -n "$drift" ] && awk -v d="$drift" 'BEGIN { exit !(d < 100) }' && pass "the music plays again with the picture (${drift} ms apart)" \
      || fail "the music is not with the picture the second time: '$drift'"
    escape_demo
    [ "$code" = 0 ] && pass "Escape ends the looping run with exit 0" || fail "looping run: exit $code"
  else
    wait_demo 1
    fail "the run ended at the end picture (exit $code) instead of starting again"
  fi
else
  fail "no window"; kill -9 "$demo_pid" 2>/dev/null
fi
echo "$failures failure(s)"
[ "$failures" = 0 ]

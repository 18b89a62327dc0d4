#!/usr/bin/env bash
# The SDL backend's sync trace (MORAVEL_SYNC_TRACE) under Xvfb: one line per presented frame, the
# monotonic time in microseconds rising, then what the registered frame reporter gives, and -1 -1.000
# while none is registered.
# Usage: sync_trace.sh SYNC_TRACE_PROBE
set -u
probe=$(realpath "$1")
work=$(mktemp -d /tmp/moravel-trace.XXXXXX)
xpid=""
cleanup() {
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/x_server.sh"
start_x 640x480x24

MORAVEL_SYNC_TRACE="$work/trace" MORAVEL_MESSAGES=stderr "$probe" || { echo "FAIL: the probe failed ($?)"; exit 1; }
expected='-1 -1.000
-1 -1.000
1234 5678.250
1234 5678.250
-1 -1.000'
seen=$(cut -d' ' -f2- "$work/trace")
[ "$seen" = "$expected" ] || { echo "FAIL: the trace holds"; cat "$work/trace"; exit 1; }
awk 'NR > 1 && $1 < last { bad = 1 } { last = $1 } $1 !~ /^[0-9]+$/ { bad = 1 } END { exit bad }' "$work/trace" \
  || { echo "FAIL: the times are not rising microseconds"; cat "$work/trace"; exit 1; }
echo "ok: five frames traced, the reporter's values while it is registered and -1 -1.000 otherwise"

#!/usr/bin/env bash
# The production's memory over a whole run: the resident size once the demo is running must still be
# the resident size at its end, within a few MB. Catches what LeakSanitizer cannot see: textures,
# display lists or buffers created again and again while the schedule plays.
# Usage: memory_growth.sh CAPTURE_TOOL DIST_DIR [MAX_GROWTH_KB]
# Skipped (exit 77) for a sanitized build, whose allocator holds freed memory back on purpose.
set -u
capture=$(realpath "$1")
dist=$(realpath "$2")
allowed=${3:-8192}
work=$(mktemp -d /tmp/moravel-memory.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT

grep -q __asan_init "$capture" && { echo "skipped: a sanitized build"; exit 77; }
cp "$dist/vfs.dll" "$dist/moravel.vfs" "$work/"
cd "$work"

rss() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null; }

# Every frame is read back, so each is finished before the next begins, as a window's swap makes it:
# a pbuffer's swap does nothing, and unread frames would pile up in the driver's queue instead.
# At 4 frames a second, frame 10 is 2 s into the schedule (everything loaded) and frame 480 is 119 s.
"$capture" --fps 4 --frames frames >stdout 2>stderr &
pid=$!
started="" ended=""
while kill -0 "$pid" 2>/dev/null; do
  now=$(rss)
  [ -z "$started" ] && [ -e frames/000010.png ] && started=$now
  [ -z "$ended" ] && [ -e frames/000480.png ] && ended=$now
  sleep 0.05
done
wait "$pid"
code=$?
pid=""
[ "$code" -eq 0 ] || { echo "FAIL: the capture ended with $code"; cat stderr; exit 1; }
[ -n "$started" ] && [ -n "$ended" ] || { echo "FAIL: missed a sample (start '$started', end '$ended')"; exit 1; }
growth=$((ended - started))
echo "resident after start-up ${started} kB, at the end ${ended} kB, growth ${growth} kB (allowed ${allowed} kB)"
[ "$growth" -le "$allowed" ] || { echo "FAIL: the run keeps growing"; exit 1; }
echo "ok: no growth beyond ${allowed} kB"

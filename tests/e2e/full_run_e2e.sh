#!/usr/bin/env bash
# The real demo under Xvfb, left alone: it plays to its end by itself, exits with code 0, and the
# sound device received the whole music, unchanged, for as long as the run lasted.
# Usage: full_run_e2e.sh DIST_DIR AUDIO_PROBE
set -u
dist=$(cd "$1" && pwd)
probe=$(realpath "$2")
work=$(mktemp -d /tmp/moravel-full.XXXXXX)
xpid=""
trap '[ -n "$xpid" ] && kill "$xpid" 2>/dev/null; rm -rf "$work"' EXIT

. "$(dirname "$0")/x_server.sh"
start_x 640x480x24

cp "$dist/moravel" "$dist/vfs.dll" "$dist/moravel.vfs" "$work/"
cd "$work"
started=$(date +%s)
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" MORAVEL_MESSAGES=stderr timeout 300 ./moravel 2>stderr
code=$?
elapsed=$(( $(date +%s) - started ))
failures=0
[ "$code" = 0 ] && echo "ok: the run ended by itself after ${elapsed} s with exit code 0" \
  || { echo "FAIL: exit $code after ${elapsed} s"; cat stderr; failures=1; }
grep -v -e '^CRITICAL' stderr | grep -q . && { echo "FAIL: the run showed messages:"; cat stderr; failures=1; }
if report=$("$probe" "$work/audio.raw" "$work/data/muza_demo.ogg"); then
  seconds=$(echo "$report" | sed -n 's/^seconds=//p')
  # The music lasts 121 s and the run 121.1 s of demo time after it starts. SDL's disk driver
  # paces itself with sleeps, so on a loaded machine it falls behind the wall clock: allow it a
  # fifth less than the run took, never more than the run.
  awk -v s="$seconds" -v e="$elapsed" 'BEGIN { exit !(s >= 0.8 * e && s <= e + 2) }' \
    && echo "ok: the sound device played ${seconds} s, the music sample for sample" \
    || { echo "FAIL: ${seconds} s of sound for a 121 s run: $report"; failures=1; }
else
  echo "FAIL: the sound file does not hold the music: $report"; failures=1
fi
exit $failures

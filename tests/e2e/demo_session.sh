# What the end-to-end scripts share; source it after setting dist (the release folder) and work (a
# scratch folder). A private Xvfb (start_x, from x_server.sh), the verdict lines, and one demo at a time:
#   start_demo NAME [VAR=VALUE...] [-- OPTION...]
#                                   a copy of the release folder in $work/NAME, started there with the
#                                   sound going to $work/NAME/audio.raw; sets demo_pid and run_dir
#   find_window                     waits for the demo's window; sets window
#   wait_demo SECONDS               waits for the end; sets code (exit status or "timeout") and took (ms)
#   escape_demo                     holds Escape on the window until the run ends
# A failed check says, besides what failed, how the last demo started ended (its exit code, or that
# it still runs) and the last lines of its stderr; a wait that runs out says what it waited for and
# how long. A demo started by hand sets demo_err to its stderr file for this.
. "$(dirname "${BASH_SOURCE[0]}")/x_server.sh"
failures=0
demo_pid=""
demo_err=""
code=""

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
  [ -n "$demo_err" ] || return 0
  if [ -n "$demo_pid" ]; then
    echo "    the demo (pid $demo_pid) is still running; the last lines of its stderr ($demo_err):"
  else
    echo "    the demo ended with exit code ${code:-unknown}; the last lines of its stderr ($demo_err):"
  fi
  if [ -s "$demo_err" ]; then tail -n 12 "$demo_err" | sed 's/^/    | /'; else echo "    | (empty)"; fi
}
pass() { echo "ok: $*"; }

make_release() {
  mkdir -p "$1"
  cp "$dist/moravel" "$dist/vfs.dll" "$dist/moravel.vfs" "$1/"
}

start_demo() {
  local variables=() options=()
  run_dir=$work/$1
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do variables+=("$1"); shift; done
  [ $# -gt 0 ] && shift && options=("$@")
  make_release "$run_dir"
  demo_err=$run_dir/stderr code=""
  (cd "$run_dir" && exec env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$run_dir/audio.raw" "${variables[@]}" ./moravel \
    "${options[@]}" >"$run_dir/stdout" 2>"$run_dir/stderr") &
  demo_pid=$!
}

find_window() {
  wait_for_window '^Moravel by Ostrevia 2k4' 60
}

wait_demo() {
  local start
  start=$(date +%s%N)
  for _ in $(seq $(($1 * 20))); do
    if ! kill -0 "$demo_pid" 2>/dev/null; then
      wait "$demo_pid"
      code=$?
      took=$((($(date +%s%N) - start) / 1000000))
      demo_pid=""
      threads_ended
      return
    fi
    sleep 0.05
  done
  echo "waited $1 s for the demo (pid $demo_pid) to end: it did not; killed"
  kill -9 "$demo_pid" 2>/dev/null
  wait "$demo_pid" 2>/dev/null
  code=timeout
  demo_pid=""
}

# Every thread the demo starts is joined before it ends; one still running is named on its stderr.
threads_ended() {
  [ -n "$demo_err" ] && grep -q 'as the program ends:' "$demo_err" 2>/dev/null || return 0
  fail "threads still ran as the demo ended: $(grep 'as the program ends:' "$demo_err")"
}

escape_demo() {
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown Escape
  wait_demo 30
  xdotool keyup Escape
}

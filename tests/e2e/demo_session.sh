# What the end-to-end scripts share; source it after setting dist (the release folder) and work (a
# scratch folder). A private Xvfb (start_x, from x_server.sh), the verdict lines, and one demo at a time:
#   start_demo NAME [VAR=VALUE...] [-- OPTION...]
#                                   a copy of the release folder in $work/NAME, started there with the
#                                   sound going to $work/NAME/audio.raw; sets demo_pid and run_dir
#   find_window                     waits for the demo's window; sets window
#   wait_demo SECONDS               waits for the end; sets code (exit status or "timeout") and took (ms)
#   escape_demo                     holds Escape on the window until the run ends
. "$(dirname "${BASH_SOURCE[0]}")/x_server.sh"
failures=0
demo_pid=""

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
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
  (cd "$run_dir" && exec env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$run_dir/audio.raw" "${variables[@]}" ./moravel \
    "${options[@]}" >"$run_dir/stdout" 2>"$run_dir/stderr") &
  demo_pid=$!
}

find_window() {
  window=$(timeout 60 xdotool search --sync --name '^Moravel by Ostrevia 2k4' 2>/dev/null | head -n 1)
  [ -n "$window" ]
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
      return
    fi
    sleep 0.05
  done
  kill -9 "$demo_pid" 2>/dev/null
  code=timeout
  demo_pid=""
}

escape_demo() {
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown Escape
  wait_demo 30
  xdotool keyup Escape
}

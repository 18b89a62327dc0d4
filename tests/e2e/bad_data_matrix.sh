#!/usr/bin/env bash
# The production against damaged data: every data file in turn missing, empty, cut at half, random
# bytes, or another format under its name, played headless far enough to load everything and draw
# each scene that uses the file. Pictures and music must give their message and play on to exit 0;
# a model file must give its message and end the run cleanly with a non-zero code; no sanitizer
# report, no hang. Prints the outcome of every case as a table.
# Usage: bad_data_matrix.sh CAPTURE_TOOL DIST_DIR [TABLE_FILE]
# Environment: MATRIX_JOBS (parallel runs, default 2), MATRIX_FILES (a regular expression choosing
# data files), MATRIX_DAMAGES (a space-separated subset of the damages), MATRIX_TIMEOUT (seconds per
# run, default 300), MATRIX_FPS (the virtual clock's frame rate, default 4: every scene window of the
# schedule still gets frames).
set -u
capture=$(realpath "$1")
dist=$(realpath "$2")
table=${3:-}
jobs=${MATRIX_JOBS:-2}
only=${MATRIX_FILES:-.*}
damages=${MATRIX_DAMAGES:-missing empty half random other}
limit=${MATRIX_TIMEOUT:-300}
fps=${MATRIX_FPS:-4}
work=$(mktemp -d /tmp/moravel-baddata.XXXXXX)
trap 'rm -rf "$work"' EXIT

# file, what reads it, the demo times (ms) of a frame of each scene that draws with it ("-": only loaded).
files="
tlo3.jpg texture 5000,70000
vrl.jpg texture -
bakba.jpg texture 60000
codework.tga texture 81500
glimber.tga texture 83000
gfx.tga texture 84500
yast.tga texture 86000
msx.tga texture 87500
brund.tga texture 89000
ende.jpg texture 95000
logo.tga texture 17000
kreski.jpg texture 19000
tunel.jpg texture -
tlo_ach.jpg texture 19000
maska.tga texture 17000
particles.tga texture -
hdr.jpg texture 25000
kwadraty.jpg texture -
cr_tavrel.tga texture 34000
cr_quimbrel.tga texture 35500
cr_dunvo.tga texture 37000
cr_fenwisp.tga texture 38500
cr_plo.tga texture 40000
cr_kirrage.tga texture 41500
czarna.jpg texture 60000
draty.jpg texture -
babka.jpg texture 33000,46000
obrotnik.tga texture 46000,51000
mk.jpg texture 50200
rozgwiazda.txt model 60000
roza.txt model 70000
muza_demo.ogg music 1000,60000,120000
"

# The pristine data, as the extractor writes it.
mkdir -p "$work/pristine"
cp "$dist/vfs.dll" "$dist/moravel.vfs" "$work/pristine/"
(cd "$work/pristine" && ./vfs.dll --e data >/dev/null) || { echo "cannot extract the archive"; exit 1; }
listed=$(echo "$files" | awk 'NF {print $1}' | sort)
present=$(ls "$work/pristine/data" | sort)
[ "$listed" = "$present" ] || { echo "the archive holds other files than this matrix knows:"; diff <(echo "$listed") <(echo "$present"); exit 1; }

# Another format under the same name: a picture gets the other picture format, the rest a JPEG.
other_source() {
  case $1 in
    *.jpg) echo logo.tga ;;
    *) echo tlo3.jpg ;;
  esac
}

# Writes the damaged file into a case folder whose other files are links to the pristine ones.
make_case() {
  local name=$1 damage=$2 dir=$3
  mkdir -p "$dir"
  cp -al "$work/pristine/data" "$dir/data"
  local target=$dir/data/$name source=$work/pristine/data/$name
  local size
  size=$(stat -c %s "$source")
  rm -f "$target"
  case $damage in
    none) cp "$source" "$target" ;;
    missing) ;;
    empty) : >"$target" ;;
    half) head -c $((size / 2)) "$source" >"$target" ;;
    random) perl -e 'srand($ARGV[0]); print pack("C*", map { int(rand(256)) } 1 .. $ARGV[1])' \
              "$(cksum <<<"$name" | cut -d' ' -f1)" "$size" >"$target" ;;
    other) cp "$work/pristine/data/$(other_source "$name")" "$target" ;;
  esac
}

# The captions a message about this kind of file may carry.
captions_for() {
  case $1 in
    *.tga) echo 'TGA Texture|TGA File Error' ;;
    *.jpg) echo 'Zendra Engine' ;;
    *.txt) echo 'Model File Error' ;;
    *.ogg) echo 'Sound' ;;
  esac
}

# What a case must give: the number of messages and the exit code. A JPEG or an Ogg file cut at
# half still opens: its decoder reads what is there (the rest of the picture stays grey, the music
# stops early) without a word, as the original libraries do.
expected_for() {
  local name=$1 kind=$2 damage=$3
  if [ "$damage" = none ]; then echo "0 0"; return; fi
  case $kind:$damage:$name in
    texture:half:*.jpg | music:half:*) echo "0 0" ;;
    model:*) echo "1 1" ;;
    *) echo "1 0" ;;
  esac
}

run_case() {
  local name=$1 kind=$2 times=$3 damage=$4
  local dir=$work/cases/$name.$damage
  make_case "$name" "$damage" "$dir"
  # The capture ends after its last frame to write: the run goes as far as the last scene needs.
  local at=$times
  [ "$at" = - ] && at=100
  local started=$SECONDS code
  (cd "$dir" && exec timeout -s KILL "$limit" "$capture" --fps "$fps" --png "shot-%d.png" --at "$at" \
    >stdout 2>stderr)
  code=$?
  local seconds=$((SECONDS - started))

  local captions messages ours shots=0 wanted_shots problems=""
  captions=$(captions_for "$name")
  # Every message box, whoever shows it; then those that are about this file.
  messages=$(grep -cE '^(TGA Texture|TGA File Error|BMP Unit|BMP Texture|Zendra Engine|Zendra Error|Sound|Model File Error): ' "$dir/stderr")
  ours=$(grep -E "^($captions): " "$dir/stderr" | grep -cF -e "data\\$name" -e "Music file might be missing")
  wanted_shots=$(tr ',' '\n' <<<"$at" | wc -l)
  shots=$(ls "$dir"/shot-*.png 2>/dev/null | wc -l)
  read -r want_messages want_code <<<"$(expected_for "$name" "$kind" "$damage")"

  local outcome
  if [ "$code" -eq 137 ]; then
    outcome="hang"; problems="killed after ${limit}s"
  elif grep -qE 'ERROR: (Address|Leak|Memory|Thread)Sanitizer|runtime error:' "$dir/stderr"; then
    outcome="sanitizer"; problems=$(grep -m1 -E 'Sanitizer|runtime error:' "$dir/stderr")
  elif [ "$code" -gt 128 ]; then
    outcome="signal $((code - 128))"; problems="crashed"
  else
    outcome="$( [ "$messages" -eq 0 ] && echo "no message" || echo "$messages msg")"
    outcome="$outcome, exit $code"
    [ "$code" -eq "$want_code" ] || problems="exit $code, expected $want_code"
    [ "$messages" -eq "$want_messages" ] || problems="$problems; $messages messages, expected $want_messages"
    [ "$ours" -eq "$want_messages" ] || problems="$problems; the message is not the one for $name"
    if [ "$want_code" -eq 0 ] && [ "$shots" -ne "$wanted_shots" ]; then
      problems="$problems; $shots of $wanted_shots frames drawn"
    fi
  fi
  local verdict=ok
  [ -n "$problems" ] && verdict=FAIL
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$damage" "$verdict" "$outcome" "${seconds}s" "$problems" \
    >"$work/results/$name.$damage"
  if [ "$verdict" = FAIL ]; then
    { echo "== $name $damage: $problems"; sed -n '1,40p' "$dir/stderr"; } >"$work/results/$name.$damage.log"
  fi
  rm -rf "$dir"
}
export -f run_case make_case other_source captions_for expected_for
export work capture limit fps

mkdir -p "$work/results" "$work/cases"
# The undamaged data first, as the control: no message at all and every frame drawn.
{
  echo "tlo3.jpg texture 5000,70000 none"
  echo "$files" | awk 'NF' | grep -E "^($only) " | while read -r name kind times; do
    for damage in $damages; do echo "$name $kind $times $damage"; done
  done
} | xargs -P "$jobs" -L 1 bash -c 'run_case "$@"' _

# The table: one row per file, one column per damage.
header="| file |"
rule="|---|"
for damage in $damages; do header="$header $damage |"; rule="$rule---|"; done
{
  echo "$header"
  echo "$rule"
  echo "$files" | awk 'NF' | grep -E "^($only) " | while read -r name kind times; do
    row="| \`$name\` ($kind) |"
    for damage in $damages; do
      IFS=$'\t' read -r _ _ verdict outcome seconds _ <"$work/results/$name.$damage"
      mark=$([ "$verdict" = ok ] && echo "ok" || echo "**FAIL**")
      row="$row $mark: $outcome ($seconds) |"
    done
    echo "$row"
  done
} >"$work/table.md"
cat "$work/table.md"
[ -n "$table" ] && cp "$work/table.md" "$table"

echo "undamaged data: $(cut -f3,4,6 "$work/results/tlo3.jpg.none")"
failed=$(cat "$work"/results/*.log 2>/dev/null)
cases=$(ls "$work/results" | grep -vc '\.log$')
if [ -n "$failed" ]; then
  echo "$failed"
  echo "bad-data matrix: $(ls "$work"/results/*.log | wc -l) of $cases cases failed"
  exit 1
fi
echo "bad-data matrix: all $cases cases as expected"

#!/usr/bin/env bash
# Runs one test N times in a row on a built tree and counts: a test that fails now and then is a
# fault to find, and this is how it is found (and how a mend is shown to hold).
#   scripts/repeat-test.sh NAME N [--sanitize]
# NAME is a ctest test of build-test/ (build-asan/ with --sanitize, under the sanitizer options
# ./test.sh --sanitize uses), or one of the checks outside ctest: "wine" (scripts/windows-tests.sh
# on build-test/ and build-win/) and "web" (scripts/web-tests.sh). Prints the first failure's whole
# output, and last a line "N passed, M failed"; exits 1 when any run failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "usage: $0 NAME N [--sanitize]   (NAME: a ctest test, or wine, or web)" >&2; exit 2; }
[ $# -ge 2 ] && [ $# -le 3 ] || usage
name=$1 runs=$2
[[ $runs =~ ^[1-9][0-9]*$ ]] || usage
build=$root/build-test
if [ $# -eq 3 ]; then
  [ "$3" = --sanitize ] || usage
  build=$root/build-asan
  . "$root/scripts/sanitizer-env.sh"
fi

run_once() {
  case $name in
    wine) bash "$root/scripts/windows-tests.sh" "$build" ;;
    web) MORAVEL_WEB_ARCHIVE=$build/dist/moravel.vfs bash "$root/scripts/web-tests.sh" ;;
    *) (cd "$build" && ctest --output-on-failure --timeout 1500 -R "^${name}\$") ;;
  esac
}

if [ "$name" != wine ] && [ "$name" != web ]; then
  [ -f "$build/CTestTestfile.cmake" ] || { echo "$0: $build is not built (./test.sh builds it)" >&2; exit 2; }
  listed=$(cd "$build" && ctest -N -R "^${name}\$" | sed -n 's/^Total Tests: //p')
  [ "$listed" = 1 ] || { echo "$0: no test named $name in $build (ctest -N lists them)" >&2; exit 2; }
fi

passed=0 failed=0 output=$(mktemp /tmp/moravel-repeat.XXXXXX)
trap 'rm -f "$output"' EXIT
for i in $(seq "$runs"); do
  start=$SECONDS
  if run_once >"$output" 2>&1; then
    passed=$((passed + 1))
    echo "run $i of $runs: passed ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    echo "run $i of $runs: FAILED ($((SECONDS - start)) s)"
    if [ "$failed" = 1 ]; then
      echo "---- the output of run $i, the first that failed ----"
      cat "$output"
      echo "---- end of run $i ----"
    fi
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

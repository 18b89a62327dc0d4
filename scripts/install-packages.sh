#!/usr/bin/env bash
# Installs the missing Debian packages of the lists named (apt-get; sudo when not root):
#   play   scripts/packages-play.txt: building and playing the demo (./run.sh)
#   test   scripts/packages-test.txt: the tests, the Windows build and Wine (./test.sh, with play)
#   bench  scripts/packages-bench.txt: the benchmarks (./bench.sh, with play)
#   web    scripts/packages-web.txt: the web build (./web.sh, with play)
# With test, also the German locale the number readers are tested under.
# Usage: scripts/install-packages.sh LIST...   (for example: scripts/install-packages.sh play test)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
  echo "usage: $0 LIST... (play, test, bench, web)" >&2
  exit 2
fi
wanted=()
with_tests=false
for list in "$@"; do
  case $list in
    play | bench | web) ;;
    test) with_tests=true ;;
    *) echo "$0: no package list \"$list\" (play, test, bench, web)" >&2; exit 2 ;;
  esac
  mapfile -t -O "${#wanted[@]}" wanted < <(grep -v -E '^\s*(#|$)' "$here/packages-$list.txt")
done
missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A locale whose decimal separator is a comma: model files must read the same under it.
if $with_tests && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen 2>/dev/null || true
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

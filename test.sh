#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#   ./test.sh              every test: the suite in build-test/, then the Windows and the web builds
#   ./test.sh --quick      only the unit, GL and layer tests in build-test/ (a few minutes): while working
#   ./test.sh --sanitize   the suite built with AddressSanitizer and UBSan in build-asan/
# Each keeps its own build folder, as ./run.sh (build/) and ./bench.sh (build-bench/) do, so switching
# between them never reconfigures or rebuilds another's.
set -euo pipefail
cd "$(dirname "$0")"
case "${1:-}" in
  "" | --quick | --sanitize) ;;
  *) echo "usage: ./test.sh [--quick | --sanitize]" >&2; exit 2 ;;
esac
bash scripts/install-packages.sh play test
if [ "${1:-}" = --sanitize ]; then
  . scripts/sanitizer-env.sh
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DMORAVEL_SANITIZE=ON -DMORAVEL_WERROR=ON
  cmake --build build-asan -j"$(nproc)"
  cd build-asan
  # The whole two-minute runs (to the end, with a stall, and looping), the reference frames and the capture checks render the
  # same paths the normal suite checks; the Debian package test checks packaging, and the player's options and the dialog
  # under a desktop check how the demo meets its window system, not memory (the other e2e tests run its code here);
  # the bad-data matrix runs here under the sanitizers. Leaving them out keeps CI within its time.
  ctest -j2 --output-on-failure --timeout 1500 -E '^(demo_full_run|demo_stall|player_loop|player_options|demo_desktop|debian_package|ReferenceFramesTest\..*|CaptureTest\..*)$'
  exit
fi
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DMORAVEL_WERROR=ON
cmake --build build-test -j"$(nproc)"
if [ "${1:-}" = --quick ]; then
  # Everything that needs no window, no whole run and no other build: the pieces on the fake platform,
  # the scenes on Mesa, and the layer rules. The reference frames play the schedule through: left out.
  (cd build-test && ctest -j2 --output-on-failure --timeout 600 -L '^(unit|gl|layers)$' -LE '^(capture|e2e)$')
  exit
fi
(cd build-test && ctest -j2 --output-on-failure --timeout 600)
# The 32-bit Windows release from the same sources, and its tests under Wine.
MORAVEL_VFS=$PWD/build-test/dist/moravel.vfs bash scripts/build-windows.sh
bash scripts/windows-tests.sh build-test
# The web build (./web.sh) in headless Chromium, with the archive just built.
MORAVEL_WEB_ARCHIVE=$PWD/build-test/dist/moravel.vfs bash scripts/web-tests.sh

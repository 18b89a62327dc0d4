#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test.
#   ./test.sh              the normal build in build/, then the Windows and the web builds
#   ./test.sh --sanitize   the same suite built with AddressSanitizer and UBSan in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
case "${1:-}" in
  "" | --sanitize) ;;
  *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
esac
bash scripts/install-packages.sh play test
if [ "${1:-}" = --sanitize ]; then
  # Leaks inside the system's GL, X and sound libraries are theirs; none of ours is suppressed.
  export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
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
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DMORAVEL_WERROR=ON
cmake --build build -j"$(nproc)"
(cd build && ctest -j2 --output-on-failure --timeout 600)
# The 32-bit Windows release from the same sources, and its tests under Wine.
bash scripts/build-windows.sh
bash scripts/windows-tests.sh build
# The web build (./web.sh) in headless Chromium, with the archive just built.
MORAVEL_WEB_ARCHIVE=build/dist/moravel.vfs bash scripts/web-tests.sh

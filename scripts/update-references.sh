#!/usr/bin/env bash
# Writes the reference frames of tests/reference/ anew from the current build, for a change that
# is meant to alter the picture. Review every picture (and docs/reference-sheet.png) before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build-test -j"$(nproc)" --target reference_frames_test moravel-capture dist
MORAVEL_UPDATE_REFERENCES=1 build-test/tests/tools/reference_frames_test
montage -label '%t' $(ls tests/reference/frame-*.png | sort -t- -k2 -n) -tile 8x -geometry 160x120+4+4 -background '#181818' \
  -fill '#e0e0e0' docs/reference-sheet.png 2>/dev/null || echo "montage (ImageMagick) not found: no sheet written"
echo "References written to tests/reference/; review them before committing."

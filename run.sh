#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo. Without a display, renders it to a video.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-packages.sh play
# Only the release folder (the demo, vfs.dll and the packed data) and the capture tool: the tests, and the
# packages they need, are ./test.sh's.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target dist moravel-capture

dist=build/dist
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): the demo cannot open its window."
  if [ -x build/tools/capture/moravel-capture ]; then
    echo "Rendering the demo to $dist/moravel.mp4 instead (this takes a while)."
    cd "$dist"
    ../tools/capture/moravel-capture --video moravel.mp4
    echo "The video is at $(pwd)/moravel.mp4"
    exit 0
  fi
  exit 1
fi
cd "$dist"
exec ./moravel "$@"

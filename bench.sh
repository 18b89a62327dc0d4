#!/usr/bin/env bash
# Installs what is missing, builds, runs every benchmark and rewrites docs/benchmarks.md and .json.
# Takes about half an hour on two cores. Options go to bench/run_benchmarks.py (--help lists them);
# MORAVEL_BUILD_DIR picks the build folder (default build-bench: its own, so that ./run.sh's and
# ./test.sh's are never reconfigured by it).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-packages.sh play bench
build="${MORAVEL_BUILD_DIR:-build-bench}"
# The benchmarks are built by name below; the tests (and GoogleTest, which they need) stay out.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)" --target dist moravel-capture \
  moravel-bench-frames moravel-bench-count moravel-bench-startup moravel-bench-startup-sdl moravel-bench-readers
python3 bench/run_benchmarks.py --build "$build" --docs docs "$@"

#!/bin/bash
# Draws the music track's sonogram (frequency over time) for the docs with sox: music_sonogram.sh [MUZA_DEMO.OGG] [OUT.PNG]
# The scene changes are at 12, 18, 20, 32, 44, 49.5, 55.5, 69, 72, 75, 78, 81 and 90 s.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
music=${1:-$root/build/assets/muza_demo.ogg}
out=${2:-$root/docs/music-sonogram.png}
sox "$music" -n remix - spectrogram -x 1600 -y 480 -z 90 -t "muza_demo.ogg (both channels mixed)" -o "$out"

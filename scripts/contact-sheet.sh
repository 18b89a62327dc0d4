#!/usr/bin/env bash
# Contact sheet of the demo's 29 pictures, each as the production's own loader hands it to OpenGL
# (through moravel-inspect), written to docs/contact-sheet.png.
# Usage: scripts/contact-sheet.sh [BUILD_DIR] [OUT.png]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/docs/contact-sheet.png}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" --target moravel-assetgen moravel-inspect -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/assetgen/moravel-assetgen" "$work/data" >/dev/null

# In the order the demo loads them.
names=(tlo3.jpg vrl.jpg bakba.jpg codework.tga glimber.tga gfx.tga yast.tga msx.tga brund.tga ende.jpg
       logo.tga kreski.jpg tunel.jpg tlo_ach.jpg maska.tga particles.tga hdr.jpg kwadraty.jpg
       cr_tavrel.tga cr_quimbrel.tga cr_dunvo.tga cr_fenwisp.tga cr_plo.tga cr_kirrage.tga
       czarna.jpg draty.jpg babka.jpg obrotnik.tga mk.jpg)

export EGL_PLATFORM=surfaceless
tiles=()
for name in "${names[@]}"; do
  loaded="$work/$name.png"
  size=$("$build/tools/inspect/moravel-inspect" texture "$work/data/$name" "$loaded")
  # Transparent parts over a dark checkerboard, so the layers read as layers.
  read -r width height <<<"$(identify -format '%w %h' "$loaded")"
  convert -size "${width}x${height}" pattern:checkerboard -fill '#141020' -colorize 82% \
    "$loaded" -composite "$work/$name.tile.png"
  tiles+=(-label "$name  ($size)" "$work/$name.tile.png")
done

mkdir -p "$(dirname "$out")"
montage "${tiles[@]}" -tile 6x -geometry '232x232>+8+8' -background '#0b0814' -fill '#e8e0ff' \
  -font DejaVu-Sans -pointsize 12 -title 'Moravel: the 29 generated pictures, as loaded' \
  -depth 8 -strip -define png:compression-level=9 -define png:exclude-chunks=date,time "$out"
echo "wrote $out"

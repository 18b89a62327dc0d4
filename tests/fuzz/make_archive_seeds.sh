#!/bin/bash
# Writes the seed corpus of the archive fuzz target with vfs.dll itself: usage make_archive_seeds.sh VFS_DLL
# The seeds are kept in the tree; run this again only when the archive layout changes.
set -euo pipefail
vfs=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
out=$here/corpus/fuzz_archive
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/none" "$work/one" "$work/three"

printf 'P3\n2 1\n255\n255 0 0 0 0 255\n' > "$work/one/logo.tga"
printf '0.25\r\n-0.5\r\n1\r\n' > "$work/three/roza.txt"
printf '' > "$work/three/empty.dat"
printf 'OggS and a few more bytes' > "$work/three/muza_demo.ogg"

"$vfs" --p "$work/none" "$out/empty.vfs" > /dev/null
"$vfs" --p "$work/one" "$out/one.vfs" > /dev/null
"$vfs" --p "$work/three" "$out/three.vfs" > /dev/null

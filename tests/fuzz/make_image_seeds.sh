#!/bin/bash
# Writes the seed corpora of the image fuzz targets with ImageMagick's convert and libjpeg's cjpeg.
# The seeds are kept in the tree; run this again only to change them. The files named by a SHA-1 were
# found by the fuzzers and kept (libFuzzer's -merge=1) for the paths they reach that these do not.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tga=$here/corpus/fuzz_tga
jpeg=$here/corpus/fuzz_jpeg
bmp=$here/corpus/fuzz_bmp
mkdir -p "$tga" "$jpeg" "$bmp"

# Small pictures with flat areas (runs) and changing pixels (raw packets).
convert -size 7x5 xc:red -fill blue -draw "rectangle 0,0 2,1" -fill "#3c9f17" -draw "point 5,3" "$work/rgb.png"
convert "$work/rgb.png" -alpha set -channel A -fx "(i+j)%3/2" +channel "$work/rgba.png"
convert "$work/rgb.png" -compress none "$work/rgb.ppm"
convert "$work/rgb.png" -colorspace Gray -compress none "$work/grey.pgm"

convert "$work/rgb.png" -type TrueColor -compress None "$tga/raw24.tga"
convert "$work/rgba.png" -type TrueColorAlpha -compress None "$tga/raw32.tga"
convert "$work/rgb.png" -type TrueColor -compress RLE "$tga/rle24.tga"
convert "$work/rgba.png" -type TrueColorAlpha -compress RLE "$tga/rle32.tga"
convert "$work/rgb.png" -type Grayscale "$tga/grey.tga"
convert "$work/rgb.png" -type Palette "$tga/palette.tga"
# An image ID: the comment goes into the ID field.
convert "$work/rgb.png" -type TrueColor -set comment "seed" "$tga/with_id.tga"

cjpeg -quality 90 "$work/rgb.ppm" > "$jpeg/baseline.jpg"
cjpeg -quality 90 -sample 1x1 "$work/rgb.ppm" > "$jpeg/sample444.jpg"
cjpeg -progressive "$work/rgb.ppm" > "$jpeg/progressive.jpg"
cjpeg -restart 1 -optimize "$work/rgb.ppm" > "$jpeg/restart.jpg"
cjpeg -arithmetic "$work/rgb.ppm" > "$jpeg/arithmetic.jpg"
cjpeg -grayscale "$work/grey.pgm" > "$jpeg/grey.jpg"
convert "$work/rgb.png" -colorspace CMYK "$jpeg/cmyk.jpg"

convert "$work/rgb.png" -type TrueColor "BMP3:$bmp/padded24.bmp"
convert "$work/rgb.png" -type TrueColor "$bmp/header_v5.bmp"
convert "$work/rgb.png" -type Palette "BMP3:$bmp/palette8.bmp"
convert "$work/rgba.png" -type TrueColorAlpha "$bmp/alpha32.bmp"

# Files that end one byte short of what their headers promise: inside a raw packet (a 2x1 picture),
# inside a run after a raw pixel (3x1), and inside the top row of a 2x2 bitmap without an image size.
tga_header() { printf '\0\0\x0a\0\0\0\0\0\0\0\0\0'"\\$(printf %03o "$1")"'\0\x01\0\x18\0'; }
{ tga_header 2; printf '\x01\x01\x02\x03\x04\x05'; } > "$tga/raw_packet_one_short.tga"
{ tga_header 3; printf '\x00\x01\x02\x03\x81\x04\x05'; } > "$tga/run_one_short.tga"
{
    printf 'BM\x43\0\0\0\0\0\0\0\x36\0\0\0'
    printf '\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\0\0\0\0'
    printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
    printf '\x01\x02\x03\x04\x05\x06\xee\xee\x07\x08\x09\x0a\x0b'
} > "$bmp/row_one_short.bmp"

#!/bin/bash
# moravel-inspect texture from the outside: TGA, JPEG and BMP files written by ImageMagick and by libjpeg's
# cjpeg must come back as the pixels those programs decode; refused kinds exit 1 with the reader's message.
# Usage: inspect_texture_test.sh PATH/TO/moravel-inspect
set -u
inspect=$1
for tool in convert compare cjpeg djpeg; do
    if ! command -v "$tool" > /dev/null; then
        echo "SKIP: $tool is missing (scripts/packages-test.txt lists the packages)"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Sides that are powers of two, so that OpenGL holds the picture unscaled; every pixel different.
convert -size 16x8 xc:black -channel R -fx "i/15" -channel G -fx "j/7" -channel B -fx "(i*j%5)/4" +channel \
    "$work/rgb.png"
convert "$work/rgb.png" -alpha set -channel A -fx "((i+2*j)%4)/3" +channel "$work/rgba.png"
# Two pixels wide: each 6-byte BMP row carries 2 bytes of padding.
convert -size 2x8 xc:black -channel R -fx "j/7" -channel G -fx "i" -channel B -fx "0.5" +channel "$work/narrow.png"
convert "$work/rgb.png" -compress none "$work/rgb.ppm"
convert "$work/rgb.png" -colorspace Gray "$work/grey.png"
convert "$work/grey.png" -compress none "$work/grey.pgm"

# FILE EXPECTED.png SIZE-LINE: the inspector's picture must equal EXPECTED pixel for pixel.
same_pixels() {
    local file=$1 expected=$2 line=$3 out
    if ! out=$("$inspect" texture "$file" "$work/out.png" 2> "$work/stderr"); then
        fail "$file: exit $? ($(cat "$work/stderr"))"
        return
    fi
    [ "$out" = "$line" ] || fail "$file: printed '$out', expected '$line'"
    local differ
    differ=$(compare -metric AE "$work/out.png" "$expected" null: 2>&1)
    [ "$differ" = "0" ] || fail "$file: $differ pixels differ from $expected"
}

# ImageMagick's own reading of a file, oriented as the file's header says, as the reference.
reference() {
    convert "$1" -auto-orient "$2"
}

convert "$work/rgb.png" -type TrueColor -compress None "$work/raw24.tga"
convert "$work/rgb.png" -type TrueColor -compress RLE "$work/rle24.tga"
convert "$work/rgba.png" -type TrueColorAlpha -compress None "$work/raw32.tga"
convert "$work/rgba.png" -type TrueColorAlpha -compress RLE "$work/rle32.tga"
for name in raw24 rle24; do
    reference "$work/$name.tga" "$work/$name-ref.png"
    same_pixels "$work/$name.tga" "$work/$name-ref.png" "16x8 RGB"
done
for name in raw32 rle32; do
    reference "$work/$name.tga" "$work/$name-ref.png"
    same_pixels "$work/$name.tga" "$work/$name-ref.png" "16x8 RGBA"
done

# JPEG decodes to RGBA with alpha 255; djpeg and ImageMagick decode with libjpeg's defaults too.
cjpeg -quality 85 "$work/rgb.ppm" > "$work/cjpeg.jpg"
djpeg -ppm "$work/cjpeg.jpg" > "$work/cjpeg-ref.ppm"
convert "$work/cjpeg-ref.ppm" -alpha opaque "$work/cjpeg-ref.png"
same_pixels "$work/cjpeg.jpg" "$work/cjpeg-ref.png" "16x8 RGBA"
cjpeg -progressive -sample 1x1 "$work/rgb.ppm" > "$work/progressive.jpg"
djpeg -ppm "$work/progressive.jpg" | convert - -alpha opaque "$work/progressive-ref.png"
same_pixels "$work/progressive.jpg" "$work/progressive-ref.png" "16x8 RGBA"
cjpeg -grayscale "$work/grey.pgm" > "$work/grey.jpg"
convert "$work/grey.jpg" -type TrueColor -alpha opaque "$work/grey-ref.png"
same_pixels "$work/grey.jpg" "$work/grey-ref.png" "16x8 RGBA"
convert "$work/rgb.png" -quality 90 "$work/magick.jpg"
convert "$work/magick.jpg" -alpha opaque "$work/magick-ref.png"
same_pixels "$work/magick.jpg" "$work/magick-ref.png" "16x8 RGBA"

# 24-bit bitmaps: the plain 40-byte header, the larger header ImageMagick writes by default, padded rows.
convert "$work/rgb.png" -type TrueColor "BMP3:$work/plain.bmp"
convert "$work/rgb.png" -type TrueColor "$work/v5.bmp"
convert "$work/narrow.png" -type TrueColor "BMP3:$work/narrow.bmp"
for name in plain v5 narrow; do
    reference "$work/$name.bmp" "$work/$name-ref.png"
done
same_pixels "$work/plain.bmp" "$work/plain-ref.png" "16x8 RGB"
same_pixels "$work/v5.bmp" "$work/v5-ref.png" "16x8 RGB"
same_pixels "$work/narrow.bmp" "$work/narrow-ref.png" "2x8 RGB"

# FILE TEXT: exit 1 and TEXT among the messages.
refused() {
    local file=$1 text=$2
    "$inspect" texture "$file" "$work/refused.png" > /dev/null 2> "$work/stderr"
    local status=$?
    [ "$status" = 1 ] || fail "$file: exit $status, expected 1"
    grep -qF -- "$text" "$work/stderr" || fail "$file: no '$text' in: $(cat "$work/stderr")"
}

convert "$work/rgb.png" -type Grayscale "$work/grey.tga"
convert "$work/rgb.png" -type Palette "$work/palette.tga"
convert "$work/rgb.png" -colorspace CMYK "$work/cmyk.jpg"
convert "$work/rgb.png" -type Palette "BMP3:$work/palette.bmp"
convert "$work/rgba.png" -type TrueColorAlpha "$work/alpha.bmp"
refused "$work/grey.tga" "TGA File Error: Couldn't load \"$work/grey.tga\". Only 24 and 32bit TGA supported."
refused "$work/palette.tga" "TGA File Error: Couldn't load \"$work/palette.tga\". Only 24 and 32bit TGA supported."
refused "$work/cmyk.jpg" "Zendra Engine: I can\`t load texture - \"$work/cmyk.jpg\""
refused "$work/palette.bmp" "BMP Unit: Only uncompressed 24 bit bitmaps supported - $work/palette.bmp"
refused "$work/alpha.bmp" "BMP Unit: Only uncompressed 24 bit bitmaps supported - $work/alpha.bmp"
refused "$work/missing.tga" "TGA Texture: File not found  - $work/missing.tga"
cp "$work/rgb.png" "$work/picture.png"
refused "$work/picture.png" "no reader takes"
# Only regular files, and none larger than any real picture: a device would be read until memory ran out.
ln -s /dev/zero "$work/zero.tga"
refused "$work/zero.tga" "moravel-inspect: cannot read $work/zero.tga: a device; only regular files are read"
truncate -s 300M "$work/huge.tga"
refused "$work/huge.tga" "moravel-inspect: cannot read $work/huge.tga: 314572800 bytes, more than the 256 MiB"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all inspector checks passed"

// The BMP decoder on files built here: channels, row padding, sizes from the header, refusals, truncation.
#include <gtest/gtest.h>

#include "tests/support/exact_buffer.h"
#include "tests/support/texture_test_files.h"
#include "textures/textures.h"

// The file in a block of exactly its size: a read one byte past it is an error under AddressSanitizer.
static DecodeResult Decode(const Bytes& file, bool fromResource = false)
{
    const ExactBuffer exact(file);
    return DecodeBMP(exact.data(), exact.size(), "data\\pic.bmp", fromResource);
}

static void ExpectFailure(const DecodeResult& result, const std::string& text)
{
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Caption, "BMP Unit");
    EXPECT_EQ(result.Text, text);
    EXPECT_TRUE(result.Picture.Pixels.empty());
}

TEST(BmpReader, RowsWithAndWithoutPaddingGiveRgbBottomRowFirst)
{
    // Widths 4 and 8 need no padding; 1, 2, 5 and 7 leave 1 to 3 bytes (0xEE) at the end of each row.
    for (int width : {1, 2, 4, 5, 7, 8}) {
        SCOPED_TRACE(width);
        const Bytes rgb = PatternPixels(width, 3, 3);
        for (long imageSize : {-1L, 0L}) {
            const DecodeResult result = Decode(MakeBmp(width, 3, SwapRedBlue(rgb, 3), 24, imageSize));
            ASSERT_TRUE(result.Ok);
            EXPECT_EQ(result.Picture.Width, width);
            EXPECT_EQ(result.Picture.Height, 3);
            EXPECT_EQ(result.Picture.Format, GL_RGB);
            EXPECT_EQ(result.Picture.Pixels, rgb);
        }
    }
}

TEST(BmpReader, PixelsStartWhereTheFileHeaderSays)
{
    const Bytes rgb = PatternPixels(4, 2, 3);
    // A palette block counted in bytes, skipped when the file header gives no offset.
    Bytes withPalette = MakeBmp(4, 2, SwapRedBlue(rgb, 3), 24, -1, 6);
    for (int i = 10; i < 14; ++i)
        withPalette[i] = 0;
    const DecodeResult palette = Decode(withPalette);
    ASSERT_TRUE(palette.Ok);
    EXPECT_EQ(palette.Picture.Pixels, rgb);

    // A larger (version 5) information header: 124 bytes, pixels at 138.
    Bytes larger = MakeBmp(4, 2, SwapRedBlue(rgb, 3));
    larger.insert(larger.begin() + 54, 84, 0x55);
    larger[10] = 138;
    larger[14] = 124;
    const DecodeResult versionFive = Decode(larger);
    ASSERT_TRUE(versionFive.Ok);
    EXPECT_EQ(versionFive.Picture.Pixels, rgb);
}

TEST(BmpReader, RefusesWhatItDoesNotConvert)
{
    const Bytes pixels(64, 0);
    const std::string depth = "Only uncompressed 24 bit bitmaps supported - data\\pic.bmp";
    for (int bits : {1, 4, 8, 16, 32})
        ExpectFailure(Decode(MakeBmp(2, 2, pixels, bits)), depth);
    ExpectFailure(Decode(MakeBmp(2, 2, pixels, 24, -1, 0, 1)), depth);
    ExpectFailure(Decode(MakeBmp(2, -2, pixels)), "Top-down bitmaps not supported - data\\pic.bmp");
    Bytes tooWide = MakeBmp(1, 1, pixels);
    tooWide[20] = 1;  // width 65537: more than a texture side can hold
    ExpectFailure(Decode(tooWide), "Unsupported bitmap size - data\\pic.bmp");
}

TEST(BmpReader, ShortFilesNeverReadPastTheirEnd)
{
    const Bytes file = MakeBmp(5, 4, SwapRedBlue(PatternPixels(5, 4, 3), 3));
    ExpectFailure(Decode(Bytes(file.begin(), file.begin() + 53)), "Error reading bitmap header");
    ExpectFailure(Decode(Bytes(file.begin(), file.end() - 1)), "Error reading bitmap data");
    // An image-size field of 0 does not excuse missing pixels.
    const Bytes noSize = MakeBmp(5, 4, Bytes(60, 1), 24, 0);
    ExpectFailure(Decode(Bytes(noSize.begin(), noSize.end() - 3)), "Error reading bitmap data");
    // Without an image size the last row's padding is not needed: the file may end right after the
    // last pixel, but one byte less cuts the top row short.
    const DecodeResult noPadding = Decode(Bytes(noSize.begin(), noSize.end() - 1));
    ASSERT_TRUE(noPadding.Ok);
    EXPECT_EQ(noPadding.Picture.Pixels, Bytes(60, 1));
    ExpectFailure(Decode(Bytes(noSize.begin(), noSize.end() - 2)), "Error reading bitmap data");
    // Image size larger than the file holds, and a palette count past the end.
    ExpectFailure(Decode(MakeBmp(4, 1, Bytes(12, 1), 24, 5000)), "Error reading bitmap data");
    Bytes palette = MakeBmp(4, 1, Bytes(12, 1));
    palette[47] = 1;  // 256 palette bytes in a 66-byte file
    ExpectFailure(Decode(palette), "Error reading palette");
    // A file header pointing beyond the end.
    Bytes offset = MakeBmp(4, 1, Bytes(12, 1));
    offset[12] = 1;
    ExpectFailure(Decode(offset), "Error reading bitmap data");
    ExpectFailure(Decode(Bytes(file.begin(), file.end() - 1), true), "Unable to read from resource - data\\pic.bmp");
}

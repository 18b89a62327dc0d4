// The JPEG decoder on files libjpeg encodes here: row order, alpha, grey, refused colour spaces, bad data.
#include <gtest/gtest.h>

#include "tests/support/exact_buffer.h"
#include "tests/support/texture_test_files.h"
#include "textures/textures.h"

// The file in a block of exactly its size: a read one byte past it is an error under AddressSanitizer.
static DecodeResult Decode(const Bytes& file, bool fromResource = false)
{
    const ExactBuffer exact(file);
    return DecodeJPG(exact.data(), exact.size(), "data\\pic.jpg", fromResource);
}

static void ExpectLoadFailure(const DecodeResult& result)
{
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Caption, "Zendra Engine");
    EXPECT_EQ(result.Text, "I can`t load texture - \"data\\pic.jpg\"");
    EXPECT_TRUE(result.Picture.Pixels.empty());
}

// Top row first, three channels, into the texture's layout: bottom row first, opaque alpha.
static Bytes FlipToRgba(const Bytes& rgb, int width, int height)
{
    Bytes rgba;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = rgb.data() + (std::size_t(y) * width + x) * 3;
            rgba.insert(rgba.end(), {pixel[0], pixel[1], pixel[2], 255});
        }
    return rgba;
}

TEST(JpegReader, ColourPictureIsOpaqueRgbaBottomRowFirst)
{
    // Top half red, bottom half blue: whatever the encoder loses, the order of the halves must show.
    const int width = 24, height = 16;
    Bytes top(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = top.data() + (std::size_t(y) * width + x) * 3;
            pixel[0] = y < height / 2 ? 240 : 10;
            pixel[2] = y < height / 2 ? 10 : 240;
        }
    for (JpegKind kind : {JpegKind::Colour, JpegKind::Progressive}) {
        const Bytes jpeg = EncodeJpeg(width, height, top, kind);
        const DecodeResult result = Decode(jpeg);
        ASSERT_TRUE(result.Ok);
        EXPECT_EQ(result.Picture.Width, width);
        EXPECT_EQ(result.Picture.Height, height);
        EXPECT_EQ(result.Picture.Format, GL_RGBA);
        const Bytes& pixels = result.Picture.Pixels;
        ASSERT_EQ(pixels.size(), std::size_t(width) * height * 4);
        EXPECT_GT(pixels[2], 200);                  // first row: the bottom, blue
        EXPECT_GT(pixels[pixels.size() - 4], 200);  // last row: the top, red
        int referenceWidth = 0, referenceHeight = 0;
        const Bytes reference = ReferenceDecodeJpeg(jpeg, referenceWidth, referenceHeight);
        EXPECT_EQ(pixels, FlipToRgba(reference, width, height));
    }
}

TEST(JpegReader, GreyPictureHasEqualChannels)
{
    const Bytes grey = PatternPixels(9, 7, 1);
    const DecodeResult result = Decode(EncodeJpeg(9, 7, grey, JpegKind::Grey, 100));
    ASSERT_TRUE(result.Ok);
    const Bytes& pixels = result.Picture.Pixels;
    ASSERT_EQ(pixels.size(), 9u * 7 * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        ASSERT_TRUE(pixels[i] == pixels[i + 1] && pixels[i] == pixels[i + 2] && pixels[i + 3] == 255) << i;
    // The first stored pixel is the bottom-left one of the picture (top row first in `grey`).
    EXPECT_NEAR(pixels[0], grey[6 * 9], 8);
}

TEST(JpegReader, FourChannelColourSpacesAreRefused)
{
    const Bytes cmyk = PatternPixels(8, 8, 4);
    ExpectLoadFailure(Decode(EncodeJpeg(8, 8, cmyk, JpegKind::Cmyk)));
    ExpectLoadFailure(Decode(EncodeJpeg(8, 8, cmyk, JpegKind::Ycck)));
}

TEST(JpegReader, BadDataFailsWithTheMessageAndTruncatedDataIsUsed)
{
    ExpectLoadFailure(Decode(Bytes{}));
    ExpectLoadFailure(Decode(MakeTga(2, 24, 1, 1, {1, 2, 3})));
    const Bytes jpeg = EncodeJpeg(32, 32, PatternPixels(32, 32, 3), JpegKind::Colour);
    ExpectLoadFailure(Decode(Bytes(jpeg.begin(), jpeg.begin() + 100)));

    // Cut inside the compressed data: a warning only, the picture comes out whole in size.
    const DecodeResult cut = Decode(Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3));
    ASSERT_TRUE(cut.Ok);
    EXPECT_EQ(cut.Picture.Pixels.size(), 32u * 32 * 4);

    // A fatal error after the header: a later progressive scan with impossible parameters.
    Bytes progressive = EncodeJpeg(32, 32, PatternPixels(32, 32, 3), JpegKind::Progressive);
    int scans = 0;
    for (std::size_t i = 0; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xDA && ++scans == 3) {
            const std::size_t components = progressive[i + 4];
            progressive[i + 5 + 2 * components] = 0x40;  // spectral start past the last coefficient
            break;
        }
    ASSERT_EQ(scans, 3);
    ExpectLoadFailure(Decode(progressive));

    const DecodeResult resource = Decode(Bytes{1, 2, 3}, true);
    EXPECT_FALSE(resource.Ok);
    EXPECT_EQ(resource.Caption, "Zendra Engine");
    EXPECT_EQ(resource.Text, "I can`t load texture Resource - \"data\\pic.jpg\"");
}

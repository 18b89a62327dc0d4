// The TGA decoder on files built here: pixel order and channels, packets, rejections, truncation.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/exact_buffer.h"
#include "tests/support/texture_test_files.h"
#include "textures/textures.h"

// The file in a block of exactly its size: a read one byte past it is an error under AddressSanitizer.
static DecodeResult Decode(const Bytes& file, bool fromResource = false)
{
    const ExactBuffer exact(file);
    return DecodeTGA(exact.data(), exact.size(), "data\\pic.tga", fromResource);
}

static void ExpectFailure(const DecodeResult& result, const char* caption, const char* text)
{
    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(result.Caption, caption);
    EXPECT_EQ(result.Text, text);
    EXPECT_TRUE(result.Picture.Pixels.empty());
}

TEST(TgaReader, RawFilesGiveRgbOrRgbaPixelsBottomRowFirst)
{
    for (int depth : {24, 32}) {
        const int channels = depth / 8;
        const Bytes rgb = PatternPixels(7, 5, channels);
        const DecodeResult raw = Decode(MakeTga(2, depth, 7, 5, SwapRedBlue(rgb, channels)));
        ASSERT_TRUE(raw.Ok) << depth;
        EXPECT_EQ(raw.Picture.Width, 7);
        EXPECT_EQ(raw.Picture.Height, 5);
        EXPECT_EQ(raw.Picture.Format, depth == 24 ? GL_RGB : GL_RGBA);
        EXPECT_EQ(raw.Picture.Pixels, rgb) << depth;
    }
}

TEST(TgaReader, PacketHeadersAtTheirLimitsAndRunsAcrossRows)
{
    // 0x00: one raw pixel; 0x7F: 128 raw; 0x80: a run of one; 0xFF: a run of 128. Rows are 6 wide,
    // so the long packets cross several rows.
    const Bytes first = {1, 2, 3};
    const Bytes runOfOne = {4, 5, 6};
    const Bytes runOf128 = {7, 8, 9};
    Bytes rawPixels = SwapRedBlue(PatternPixels(128, 1, 3), 3);
    Bytes packets = {0x00};
    packets.insert(packets.end(), first.begin(), first.end());
    packets.push_back(0x7F);
    packets.insert(packets.end(), rawPixels.begin(), rawPixels.end());
    packets.push_back(0x80);
    packets.insert(packets.end(), runOfOne.begin(), runOfOne.end());
    packets.push_back(0xFF);
    packets.insert(packets.end(), runOf128.begin(), runOf128.end());

    Bytes expected = {3, 2, 1};
    const Bytes rawRgb = PatternPixels(128, 1, 3);
    expected.insert(expected.end(), rawRgb.begin(), rawRgb.end());
    expected.insert(expected.end(), {6, 5, 4});
    for (int i = 0; i < 128; ++i)
        expected.insert(expected.end(), {9, 8, 7});

    const DecodeResult result = Decode(MakeTga(10, 24, 6, 43, packets));
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.Picture.Pixels, expected);

    // 32 bits, 3 pixels wide, as the asset generator once wrote its files: a run of 4 and a raw packet
    // of 4 each go on into the next row; a last run of 1 ends the picture.
    const Bytes oldPackets = {
        0x83, 1,  2,  3,  4,                                                   // run of 4
        0x03, 10, 11, 12, 13, 20, 21, 22, 23, 30, 31, 32, 33, 40, 41, 42, 43,  // 4 raw
        0x80, 50, 51, 52, 53,                                                  // run of 1
    };
    Bytes oldExpected;
    for (int i = 0; i < 4; ++i)
        oldExpected.insert(oldExpected.end(), {3, 2, 1, 4});
    for (std::uint8_t first : {10, 20, 30, 40, 50})
        oldExpected.insert(oldExpected.end(),
                           {std::uint8_t(first + 2), std::uint8_t(first + 1), first, std::uint8_t(first + 3)});
    const DecodeResult old = Decode(MakeTga(10, 32, 3, 3, oldPackets));
    ASSERT_TRUE(old.Ok);
    EXPECT_EQ(old.Picture.Pixels, oldExpected);
}

TEST(TgaReader, PacketReachingPastThePictureIsCutAtItsEnd)
{
    // Five pixels from a run of 128, then a raw packet of 128 with only two pixels stored.
    const DecodeResult run = Decode(MakeTga(10, 32, 5, 1, {0xFF, 1, 2, 3, 4}));
    ASSERT_TRUE(run.Ok);
    EXPECT_EQ(run.Picture.Pixels.size(), 20u);
    EXPECT_EQ((Bytes{run.Picture.Pixels.begin() + 16, run.Picture.Pixels.end()}), (Bytes{3, 2, 1, 4}));

    const DecodeResult raw = Decode(MakeTga(10, 24, 2, 1, {0x7F, 1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(raw.Ok);
    EXPECT_EQ(raw.Picture.Pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(TgaReader, ImageIdIsSkippedAndOriginBitIgnored)
{
    const Bytes rgb = PatternPixels(4, 3, 3);
    Bytes flat;
    for (int i = 0; i < 12; ++i)
        flat.insert(flat.end(), {3, 2, 1});
    // Raw, and one run of 12 pixels; top-left origin flag set or not, rows go out in stored order.
    for (const auto& [type, data, expected] :
         {std::tuple{2, SwapRedBlue(rgb, 3), rgb}, {10, Bytes{0x8B, 1, 2, 3}, flat}}) {
        const DecodeResult withId = Decode(MakeTga(type, 24, 4, 3, data, 255));
        ASSERT_TRUE(withId.Ok) << type;
        EXPECT_EQ(withId.Picture.Pixels, expected) << type;
        const DecodeResult topFirst = Decode(MakeTga(type, 24, 4, 3, data, 0, 0, 0x20));
        ASSERT_TRUE(topFirst.Ok) << type;
        EXPECT_EQ(topFirst.Picture.Pixels, expected) << type;
    }
}

TEST(TgaReader, RejectsOtherKindsWithTheirMessages)
{
    const Bytes pixels(64, 0);
    const char* notTrueColour = "Couldn't load \"data\\pic.tga\". Only 24 and 32bit TGA supported.";
    for (int type : {0, 1, 3, 9, 11})
        ExpectFailure(Decode(MakeTga(type, 24, 2, 2, pixels, 0, type == 1 || type == 9)), "TGA File Error",
                      notTrueColour);
    ExpectFailure(Decode(MakeTga(2, 24, 2, 2, pixels, 0, 1)), "TGA File Error",
                  "Couldn't load \"data\\pic.tga\". Colormapped TGA files not supported.");
    for (int depth : {8, 15, 16, 31})
        ExpectFailure(Decode(MakeTga(10, depth, 2, 2, pixels)), "TGA File Error",
                      "Couldn't load \"data\\pic.tga\". Only 24 and 32 bit TGA files supported.");
}

TEST(TgaReader, ShortFilesAreReadFailures)
{
    const char* readFailure = "Couldn't read file \"data\\pic.tga\".";
    const Bytes stored = SwapRedBlue(PatternPixels(4, 4, 4), 4);
    const Bytes raw = MakeTga(2, 32, 4, 4, stored);

    ExpectFailure(Decode(Bytes{}), "TGA File Error", readFailure);
    ExpectFailure(Decode(Bytes(raw.begin(), raw.begin() + 17)), "TGA File Error", readFailure);
    ExpectFailure(Decode(Bytes(raw.begin(), raw.end() - 1)), "TGA File Error", readFailure);
    // Packets that stop before the picture is full, mid-pixel or between packets.
    ExpectFailure(Decode(MakeTga(10, 24, 4, 1, {0x81, 1, 2})), "TGA File Error", readFailure);
    ExpectFailure(Decode(MakeTga(10, 24, 4, 1, {0x81, 1, 2, 3})), "TGA File Error", readFailure);
    // A raw packet and a run each one byte short at the end of the file, as the picture's last packet
    // and with pixels still to come: a reader that takes the missing byte from past the end either
    // accepts the file or, under AddressSanitizer, stops there.
    for (int width : {2, 3})
        ExpectFailure(Decode(MakeTga(10, 24, width, 1, {0x01, 1, 2, 3, 4, 5})), "TGA File Error", readFailure);
    for (int width : {3, 4})
        ExpectFailure(Decode(MakeTga(10, 24, width, 1, {0x00, 1, 2, 3, 0x81, 4, 5})), "TGA File Error", readFailure);
    // An image ID longer than the file.
    const Bytes longId = MakeTga(2, 24, 0, 0, {}, 40);
    ExpectFailure(Decode(Bytes(longId.begin(), longId.begin() + 30)), "TGA File Error", readFailure);
    // The largest picture the header can declare, with a handful of packets: refused, not allocated.
    ExpectFailure(Decode(MakeTga(10, 32, 0xFFFF, 0xFFFF, {0xFF, 1, 2, 3, 4, 0xFF, 1, 2, 3, 4})), "TGA File Error",
                  readFailure);
    // In resource wording, with its own caption.
    ExpectFailure(Decode(Bytes(raw.begin(), raw.end() - 1), true), "BMP Unit",
                  "Unable to read from resource - data\\pic.tga");
}

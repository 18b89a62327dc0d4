// Decoding ahead on real Mesa: the levels made on the CPU are GLU's to the byte, and the textures
// and messages of a load from prepared files are those of the load in place.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "tests/support/texture_test_files.h"
#include "textures/mip_chain.h"
#include "textures/texture_prefetch.h"
#include "textures/textures.h"

namespace {

// Everything OpenGL holds of a texture: each level's size, components and texels.
struct TextureContents {
    std::vector<std::vector<GLint>> Sizes;
    std::vector<Bytes> Levels;
    bool operator==(const TextureContents&) const = default;
};

GLint LevelParameter(GLint level, GLenum name)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

TextureContents ReadTexture(GLuint texture)
{
    TextureContents contents;
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (GLint level = 0; LevelParameter(level, GL_TEXTURE_WIDTH) > 0; ++level) {
        const GLint width = LevelParameter(level, GL_TEXTURE_WIDTH), height = LevelParameter(level, GL_TEXTURE_HEIGHT);
        contents.Sizes.push_back({width, height, LevelParameter(level, GL_TEXTURE_INTERNAL_FORMAT)});
        Bytes texels(static_cast<std::size_t>(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        contents.Levels.push_back(texels);
    }
    return contents;
}

// Bytes that are not a smooth pattern, so that a rounding or a neighbour out of place shows.
Bytes NoisyPixels(int width, int height, int channels, unsigned seed)
{
    Bytes pixels(static_cast<std::size_t>(width) * height * channels);
    for (std::uint8_t& value : pixels) {
        seed = seed * 1103515245u + 12345u;
        value = static_cast<std::uint8_t>(seed >> 16);
    }
    return pixels;
}

class TexturePrefetch : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(HeadlessCreateContext(64, 64)); }
    static void TearDownTestSuite() { HeadlessDestroyContext(); }
    void SetUp() override { HeadlessClearMessageLog(); }
    void TearDown() override
    {
        StopTexturePrefetch();
        SetTextureLoading(TextureLoading::Prepared);
    }
};

}  // namespace

TEST_F(TexturePrefetch, LevelsBuiltAheadAreWhatGluBuilds)
{
    const struct {
        int Width, Height;
    } sizes[] = {{1, 1}, {1, 8}, {8, 1}, {2, 2}, {4, 2}, {2, 16}, {64, 32}, {256, 128}};
    unsigned seed = 1;
    for (const GLenum format : {GL_RGB, GL_RGBA}) {
        for (const auto& size : sizes) {
            PixelBuffer picture;
            picture.Width = static_cast<std::uint16_t>(size.Width);
            picture.Height = static_cast<std::uint16_t>(size.Height);
            picture.Format = format;
            picture.Pixels = NoisyPixels(size.Width, size.Height, format == GL_RGBA ? 4 : 3, ++seed);
            ASSERT_TRUE(HasPowerOfTwoSides(picture));
            const TextureContents byGlu =
                ReadTexture(CreateTexture(picture.Width, picture.Height, format, picture.Pixels.data()));
            const TextureContents ahead = ReadTexture(CreateTextureWithLevels(picture, BuildMipChain(picture)));
            EXPECT_EQ(ahead.Sizes, byGlu.Sizes) << size.Width << "x" << size.Height << " format " << format;
            EXPECT_TRUE(ahead.Levels == byGlu.Levels) << size.Width << "x" << size.Height << " format " << format;
        }
    }
    // Sides that are no power of two are GLU's to rescale: nothing is built ahead for them.
    PixelBuffer odd;
    odd.Width = 12;
    odd.Height = 8;
    EXPECT_FALSE(HasPowerOfTwoSides(odd));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Files of every reader, good and bad, as a catalogue would list them.
struct PrefetchFiles {
    std::string Dir = MakeTempDir();
    std::vector<std::string> Names;
    PrefetchFiles()
    {
        Add("a.tga", MakeTga(2, 32, 64, 32, NoisyPixels(64, 32, 4, 7)));
        Add("b.jpg", EncodeJpeg(32, 32, PatternPixels(32, 32, 3), JpegKind::Colour));
        Names.push_back(Dir + "/missing.jpg");
        Add("c.bmp", MakeBmp(16, 4, NoisyPixels(16, 4, 3, 9)));
        Add("broken.tga", MakeTga(3, 8, 1, 1, {0}));
        Add("odd.tga", MakeTga(2, 24, 12, 5, NoisyPixels(12, 5, 3, 11)));  // GLU rescales it
        Add("other.png", MakeTga(2, 24, 4, 4, NoisyPixels(4, 4, 3, 13)));  // no reader: nothing said
        Names.push_back(Dir + "/missing.tga");
    }
    void Add(const std::string& name, const Bytes& bytes)
    {
        WriteFile(Dir + "/" + name, bytes);
        Names.push_back(Dir + "/" + name);
    }
};

// What loading the files in order leaves: each texture (or nothing) and the messages shown.
struct LoadOutcome {
    std::vector<TextureContents> Textures;
    std::vector<std::string> Messages;
};

static LoadOutcome LoadAll(const std::vector<std::string>& names)
{
    HeadlessClearMessageLog();
    LoadOutcome outcome;
    for (const std::string& name : names) {
        GLuint slot = 0;
        outcome.Textures.push_back(LoadTexture(name.c_str(), slot, false) ? ReadTexture(slot) : TextureContents{});
    }
    outcome.Messages = HeadlessMessageLog();
    return outcome;
}

TEST_F(TexturePrefetch, DecodedAheadLoadsTheSameTexturesAndMessagesInTheSameOrder)
{
    const PrefetchFiles files;
    SetTextureLoading(TextureLoading::Serial);
    const LoadOutcome inPlace = LoadAll(files.Names);
    ASSERT_EQ(inPlace.Messages.size(), 3u);
    SetTextureLoading(TextureLoading::Prepared);
    StartTexturePrefetch(files.Names);
    const LoadOutcome ahead = LoadAll(files.Names);
    EXPECT_EQ(ahead.Messages, inPlace.Messages);
    ASSERT_EQ(ahead.Textures.size(), inPlace.Textures.size());
    for (std::size_t i = 0; i < files.Names.size(); ++i)
        EXPECT_TRUE(ahead.Textures[i] == inPlace.Textures[i]) << files.Names[i];
    // Each file was handed out once; a name not listed is not waited for.
    EXPECT_FALSE(TakePrefetchedTexture(files.Names[0].c_str()).has_value());
    EXPECT_FALSE(TakePrefetchedTexture("never/listed.tga").has_value());
}

TEST_F(TexturePrefetch, WhatWasReadAheadComesWithItsLevelsAndAStartDropsWhatWasLeft)
{
    const PrefetchFiles files;
    StartTexturePrefetch({files.Names[0], files.Names[1]});
    std::optional<PreparedTexture> first = TakePrefetchedTexture(files.Names[0].c_str());
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(first->HasReader && first->Decoded.Ok && first->HasLevels);
    EXPECT_EQ(first->Levels.size(), 6u);  // 32 x 16 down to 1 x 1

    StartTexturePrefetch({files.Names[0]});
    StartTexturePrefetch({files.Names[3]});
    EXPECT_FALSE(TakePrefetchedTexture(files.Names[0].c_str()).has_value()) << "left by the earlier start";
    EXPECT_TRUE(TakePrefetchedTexture(files.Names[3].c_str()).has_value());
}

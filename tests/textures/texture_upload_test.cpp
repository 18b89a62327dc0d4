// Uploads and loads on real Mesa: texture state, components, GLU rescaling, dispatch, and every load path.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "platform/headless.h"
#include "tests/support/texture_test_files.h"
#include "textures/textures.h"

class TextureUpload : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(HeadlessCreateContext(64, 64));
        Dir = MakeTempDir();
    }
    static void TearDownTestSuite() { HeadlessDestroyContext(); }
    void SetUp() override { HeadlessClearMessageLog(); }

    static std::string Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = Dir + "/" + name;
        WriteFile(path, bytes);
        return path;
    }
    static std::string Dir;
};
std::string TextureUpload::Dir;

static GLint LevelParameter(GLint level, GLenum name)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

static GLint BoundTexture()
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

// Level 0 of the bound texture, bottom row first.
static Bytes ReadLevelZero(int channels)
{
    Bytes pixels(std::size_t(LevelParameter(0, GL_TEXTURE_WIDTH)) * LevelParameter(0, GL_TEXTURE_HEIGHT) * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST_F(TextureUpload, StateComponentsAndPixelsOfEachFormat)
{
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const Bytes rgb = PatternPixels(8, 4, 3);
    const GLuint first = CreateTexture(8, 4, GL_RGB, rgb.data());
    EXPECT_NE(first, 0u);
    EXPECT_EQ(BoundTexture(), static_cast<GLint>(first));
    EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), 3);
    EXPECT_EQ(LevelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(ReadLevelZero(3), rgb);
    // The whole chain down to 1 x 1 is built.
    EXPECT_EQ(LevelParameter(3, GL_TEXTURE_WIDTH), 1);

    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    const std::pair<GLenum, GLint> parameters[] = {{GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                                   {GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                                   {GL_TEXTURE_WRAP_S, GL_REPEAT},
                                                   {GL_TEXTURE_WRAP_T, GL_REPEAT}};
    for (const auto& [name, expected] : parameters) {
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        EXPECT_EQ(value, expected) << name;
    }

    const Bytes rgba = PatternPixels(4, 4, 4);
    const GLuint second = CreateTexture(4, 4, GL_RGBA, rgba.data());
    EXPECT_NE(second, first);
    EXPECT_EQ(BoundTexture(), static_cast<GLint>(second));
    EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(ReadLevelZero(4), rgba);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureUpload, SidesThatAreNoPowerOfTwoAreRescaledByGlu)
{
    // Odd RGB widths also check that the rows are read packed, not 4-byte aligned.
    // GLU goes to the nearer power of two, rounding up from three quarters of the way. Both sides
    // change in every case here: when only the width does, Mesa's GLU leaves the last row black.
    const struct {
        int Width, Height, ExpectedWidth, ExpectedHeight;
    } sizes[] = {{3, 5, 4, 4}, {12, 100, 16, 128}};
    for (const auto& size : sizes) {
        const Bytes flat(std::size_t(size.Width) * size.Height * 3, 77);
        CreateTexture(size.Width, size.Height, GL_RGB, flat.data());
        EXPECT_EQ(LevelParameter(0, GL_TEXTURE_WIDTH), size.ExpectedWidth);
        EXPECT_EQ(LevelParameter(0, GL_TEXTURE_HEIGHT), size.ExpectedHeight);
        // GLU's box filter may round a flat colour down by one.
        for (std::uint8_t value : ReadLevelZero(3))
            EXPECT_NEAR(value, 77, 1) << size.Width << "x" << size.Height;
    }
}

TEST_F(TextureUpload, LoadTextureChoosesTheReaderByExtensionInAnyCase)
{
    const Bytes rgba = PatternPixels(4, 2, 4);
    const Bytes tga = MakeTga(2, 32, 4, 2, SwapRedBlue(rgba, 4));
    const Bytes rgb = PatternPixels(4, 2, 3);
    const Bytes bmp = MakeBmp(4, 2, SwapRedBlue(rgb, 3));
    const Bytes jpeg = EncodeJpeg(8, 8, PatternPixels(8, 8, 3), JpegKind::Colour);
    for (const std::string name : {"a.tga", "b.Tga", "c.TGA", ".tga"}) {
        GLuint slot = 0;
        ASSERT_TRUE(LoadTexture(Write(name, tga).c_str(), slot, false)) << name;
        EXPECT_EQ(BoundTexture(), static_cast<GLint>(slot));
        EXPECT_EQ(ReadLevelZero(4), rgba);
    }
    GLuint slot = 0;
    ASSERT_TRUE(LoadTexture(Write("d.BMP", bmp).c_str(), slot, false));
    EXPECT_EQ(ReadLevelZero(3), rgb);
    ASSERT_TRUE(LoadTexture(Write("e.jpg", jpeg).c_str(), slot, false));
    EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(ReadLevelZero(4)[3], 255);

    // Other endings load nothing and say nothing, even when the bytes would decode.
    for (const std::string name : {"f.jpeg", "g.png", "h", "tga", "i.tga.bak"}) {
        GLuint untouched = 1234;
        EXPECT_FALSE(LoadTexture(Write(name, tga).c_str(), untouched, false)) << name;
        EXPECT_EQ(untouched, 1234u);
    }
    EXPECT_TRUE(HeadlessMessageLog().empty());
}

TEST_F(TextureUpload, FailedLoadsShowTheirMessageAndKeepTheSlot)
{
    const std::string badTga = Write("bad.tga", MakeTga(3, 8, 1, 1, {0}));
    const std::string badJpg = Write("bad.jpg", Bytes{'n', 'o', 't'});
    const std::string badBmp = Write("bad.bmp", MakeBmp(2, 2, Bytes(12, 0), 8));
    const struct {
        std::string Name;
        bool FromResource;
        std::string Message;
    } cases[] = {
        {"data\\missing.tga", false, "TGA Texture: File not found  - data\\missing.tga"},
        {"data\\missing.jpg", false, "Zendra Engine: I can`t load texture - \"data\\missing.jpg\""},
        {"data\\missing.bmp", false, "BMP Unit: Error opening data\\missing.bmp"},
        {badTga, false, "TGA File Error: Couldn't load \"" + badTga + "\". Only 24 and 32bit TGA supported."},
        {badJpg, false, "Zendra Engine: I can`t load texture - \"" + badJpg + "\""},
        {badBmp, false, "BMP Unit: Only uncompressed 24 bit bitmaps supported - " + badBmp},
        // Nothing is embedded in this build: every resource is missing, whatever the files hold.
        {"data\\logo.tga", true, "TGA Texture: File not found in resource - data\\logo.tga"},
        {"data\\tlo3.jpg", true, "Zendra Engine: File not found in resource - data\\tlo3.jpg"},
        {"data\\pic.bmp", true, "BMP Texture: File not found in resource - data\\pic.bmp"},
    };
    for (const auto& failure : cases) {
        HeadlessClearMessageLog();
        GLuint slot = 99;
        EXPECT_FALSE(LoadTexture(failure.Name.c_str(), slot, failure.FromResource));
        EXPECT_EQ(slot, 99u);
        EXPECT_EQ(HeadlessMessageLog(), std::vector<std::string>{failure.Message});
    }
}

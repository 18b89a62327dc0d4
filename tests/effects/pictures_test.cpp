// Picture panels and the stepped fades: which brightness shows at each edge of the windows,
// where the panels sit, and the state the pictures leave.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/pictures.h"
#include "tests/support/effects_gl_support.h"

namespace {

std::int32_t Now = 0;  // the demo time the scenes are drawn for

GLuint WhitePicture = 0;

struct Shown {
    std::int32_t Time;
    double Brightness;  // -1 for nothing drawn
};

// Draws one fade at each time over a marked screen and compares the grey at the band's centre.
void ExpectFade(const std::vector<Shown>& table, void (*show)())
{
    for (const Shown& expected : table) {
        Now = expected.Time;
        MarkScreen();
        show();
        const Rgb pixel = ReadBandCentre();
        if (expected.Brightness < 0) {
            EXPECT_TRUE(Near(pixel, MarkColour, 0)) << "drawn at " << expected.Time;
            continue;
        }
        const int grey = static_cast<int>(std::lround(expected.Brightness * 255));
        EXPECT_TRUE(Near(pixel, {grey, grey, grey}, 1)) << "at " << expected.Time << ": " << pixel.Red;
    }
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ApplyStartupState();
        Now = 0;
        glDisable(GL_DEPTH_TEST);
        WhitePicture = MakeSolidTexture(Texel(255, 255, 255, 255));
    }
};

TEST_F(Pictures, FadesStepByTenthsEveryFiftyMillisecondsWithOpenBounds)
{
    // The first mk.jpg window: in, hold, out, each edge exclusive.
    ExpectFade({{49700, -1},
                {49701, 0.1},
                {49749, 0.1},
                {49750, -1},
                {49751, 0.2},
                {50149, 0.9},
                {50150, -1},
                {50151, 1.0},
                {50199, 1.0},
                {50200, -1},
                {50201, 0.9},
                {50251, 0.8},
                {50649, 0.1},
                {50650, -1},
                {50699, -1},
                {50701, -1}},
               [] { ShowPictureInOut(Now, 49700, 50700, WhitePicture); });
    // The end picture fades in and holds until half a second before its stop.
    ExpectFade({{89999, -1},
                {90000, -1},
                {90001, 0.1},
                {90051, 0.2},
                {90449, 0.9},
                {90450, -1},
                {90451, 1.0},
                {120499, 1.0},
                {120500, -1},
                {121049, -1}},
               [] { ShowPictureIn(Now, WhitePicture, 90000.0, 121000.0); });
    // Fractional bounds are compared in floating point: 100.5 < 101 but not 100.
    ExpectFade({{100, -1}, {101, 0.1}}, [] { ShowPictureIn(Now, WhitePicture, 100.5, 2000.0); });
}

TEST_F(Pictures, InOutFadeWithAShortSpanDrawsBothLaddersAndExtremeBoundsDoNotWrap)
{
    // With a 500 ms span the fade-in and fade-out windows coincide: the picture is drawn twice,
    // first at 0.1 then at 0.9; additive blending left on by the caller shows both.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    Now = 1010;
    glClear(GL_COLOR_BUFFER_BIT);
    ShowPictureInOut(Now, 1000, 1500, WhitePicture);
    EXPECT_NEAR(ReadBandCentre().Red, 255, 1);
    glDisable(GL_BLEND);
    ShowPictureInOut(Now, 1000, 1500, WhitePicture);
    EXPECT_NEAR(ReadBandCentre().Red, 230, 1);

    Now = 0;
    MarkScreen();
    ShowPictureInOut(Now, INT32_MAX - 10, INT32_MIN + 10, WhitePicture);
    EXPECT_TRUE(Near(ReadBandCentre(), MarkColour, 0));
    ShowPictureInOut(Now, INT32_MIN, INT32_MAX, WhitePicture);
    EXPECT_NEAR(ReadBandCentre().Red, 255, 1) << "0 lies in the hold of the widest span";
}

TEST_F(Pictures, PicturesCoverTheViewAndLeaveWhite)
{
    const GLuint picture = MakeTexture(
        2, 2, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 255), Texel(0, 0, 255, 255), Texel(255, 255, 0, 255)});
    const int left = BandX + 1, right = BandX + BandWidth - 2, bottom = BandY + 1, top = BandY + BandHeight - 2;
    MarkScreen();
    DrawPicture(picture, 1.0);
    // Upright and filling the band to its edges.
    EXPECT_TRUE(Near(ReadPixel(left, bottom), {255, 0, 0}));
    EXPECT_TRUE(Near(ReadPixel(right, bottom), {0, 255, 0}));
    EXPECT_TRUE(Near(ReadPixel(left, top), {0, 0, 255}));
    EXPECT_TRUE(Near(ReadPixel(right, top), {255, 255, 0}));

    // Brightness 0 still covers what was behind, in black.
    DrawPicture(WhitePicture, 0.0);
    EXPECT_TRUE(Near(ReadBandCentre(), {0, 0, 0}, 0));
    EXPECT_TRUE(Near(CurrentColour(), {255, 255, 255}, 0));
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), WhitePicture);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // With sphere mapping on, the plain picture still maps its own coordinates, and it leaves
    // generation on even where it was found off.
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    DrawPlainPicture(picture, 0.5);
    EXPECT_TRUE(Near(ReadPixel(left, bottom), {128, 0, 0}));
    EXPECT_TRUE(Near(ReadPixel(right, top), {128, 128, 0}));
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    DrawPlainPicture(picture, 1.0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST_F(Pictures, PanelsSitAtTheirDepthAndBlendByAlpha)
{
    // Columns lit along the band's middle row: a 2-unit panel at eye depth 5.5 and 3.2.
    const double unitColumns = BandWidth / 2.0 / (std::tan(M_PI / 8) * 4.0 / 3.0);
    const GLuint opaque = MakeSolidTexture(Texel(255, 255, 255, 255));
    for (const double depth : {-6.5, -4.2}) {
        MarkScreen();
        DrawBlendedPanel(opaque, depth);
        int lit = 0;
        for (int x = 0; x < ScreenWidth; ++x)
            lit += Near(ReadPixel(x, BandY + BandHeight / 2), MarkColour, 0) ? 0 : 1;
        EXPECT_NEAR(lit, 2.0 / (-depth - 1.0) * unitColumns, 2) << depth;
    }

    // A caption: its centre texels alpha 0.8, its surroundings 0.3 (dropped by the alpha test).
    std::vector<std::uint32_t> texels(16, Texel(255, 255, 255, 77));
    for (const int i : {5, 6, 9, 10})
        texels[i] = Texel(255, 0, 0, 204);
    const GLuint caption = MakeTexture(4, 4, texels);
    MarkScreen();
    glBlendFunc(GL_ONE, GL_ONE);
    DrawBlendedPanel(caption, -4.2);
    EXPECT_TRUE(Near(ReadBandCentre(), {204, 0, 51}));
    EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth / 2 - 120, BandY + BandHeight / 2), MarkColour, 0));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), caption);
}

}  // namespace

// Picture panels and the stepped fades: which brightness shows at each edge of the windows,
// where the panels sit, and the state the pictures leave.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/pictures.h"
#include "shell/master.h"
#include "tests/effects_gl_support.h"

namespace {

// What a fade shows at one moment: -1 for nothing drawn, else the grey level in 0..255.
int ShownAt(std::int32_t time, void (*show)(std::int32_t))
{
    DemoTime = time;
    MarkScreen();
    show(time);
    const Rgb pixel = ReadBandCentre();
    if (Near(pixel, MarkColour, 0)) {
        return -1;
    }
    EXPECT_TRUE(pixel.Red == pixel.Green && pixel.Green == pixel.Blue) << "at " << time;
    return pixel.Red;
}

int Grey(double brightness)
{
    return static_cast<int>(std::lround(brightness * 255.0));
}

GLuint WhitePicture = 0;

void ShowFirstMk(std::int32_t)
{
    ShowPictureInOut(49700, 50700, WhitePicture);
}

void ShowEnd(std::int32_t)
{
    ShowPictureIn(WhitePicture, 90000.0, 121000.0);
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ApplyStartupState();
        glDisable(GL_DEPTH_TEST);
        WhitePicture = MakeSolidTexture(Texel(255, 255, 255, 255));
    }
};

TEST_F(Pictures, InOutFadeStepsByTenthsEveryFiftyMilliseconds)
{
    struct Expectation {
        std::int32_t Time;
        int Grey;
    };
    const std::vector<Expectation> expectations = {
        {49699, -1},          {49700, -1},          {49701, Grey(0.1)},   {49749, Grey(0.1)},
        {49750, -1},          {49751, Grey(0.2)},   {50149, Grey(0.9)},   {50150, -1},
        {50151, Grey(1.0)},   {50199, Grey(1.0)},   {50200, -1},          {50201, Grey(0.9)},
        {50249, Grey(0.9)},   {50251, Grey(0.8)},   {50649, Grey(0.1)},   {50650, -1},
        {50651, -1},          {50699, -1},          {50700, -1},          {50701, -1},
    };
    for (const Expectation& expected : expectations) {
        EXPECT_NEAR(ShownAt(expected.Time, ShowFirstMk), expected.Grey, 1) << "at " << expected.Time;
    }
    DemoTime = 50175;
    ShowFirstMk(0);
    SaveScreen("effects_picture_hold.png");
}

TEST_F(Pictures, InOutFadeWithAShortSpanDrawsBothLadders)
{
    // With a 500 ms span the fade-in and fade-out windows coincide: the picture is drawn twice,
    // first at 0.1 then at 0.9; additive blending left on by the caller shows both.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DemoTime = 1010;
    glClear(GL_COLOR_BUFFER_BIT);
    ShowPictureInOut(1000, 1500, WhitePicture);
    EXPECT_NEAR(ReadBandCentre().Red, 255, 1);
    // Without blending the later draw, the fade-out's 0.9, is what stays.
    glDisable(GL_BLEND);
    ShowPictureInOut(1000, 1500, WhitePicture);
    EXPECT_NEAR(ReadBandCentre().Red, Grey(0.9), 1);
    // Extreme bounds neither wrap into a window nor fault.
    DemoTime = 0;
    MarkScreen();
    ShowPictureInOut(INT32_MAX - 10, INT32_MIN + 10, WhitePicture);
    ShowPictureInOut(INT32_MIN, INT32_MAX, WhitePicture);
    EXPECT_NEAR(ReadBandCentre().Red, 255, 1) << "0 lies in the hold of the widest span";
}

TEST_F(Pictures, EndPictureFadesInAndHoldsUntilHalfASecondBeforeStop)
{
    struct Expectation {
        std::int32_t Time;
        int Grey;
    };
    const std::vector<Expectation> expectations = {
        {90000, -1},        {90001, Grey(0.1)}, {90049, Grey(0.1)},  {90050, -1},
        {90051, Grey(0.2)}, {90449, Grey(0.9)}, {90450, -1},         {90451, Grey(1.0)},
        {100000, Grey(1.0)}, {120499, Grey(1.0)}, {120500, -1},       {121000, -1},
        {121049, -1},       {89999, -1},
    };
    for (const Expectation& expected : expectations) {
        EXPECT_NEAR(ShownAt(expected.Time, ShowEnd), expected.Grey, 1) << "at " << expected.Time;
    }
    // Fractional bounds are compared in floating point: 100.5 < 101 but not 100.
    DemoTime = 100;
    MarkScreen();
    ShowPictureIn(WhitePicture, 100.5, 2000.0);
    EXPECT_TRUE(Near(ReadBandCentre(), MarkColour, 0));
    DemoTime = 101;
    ShowPictureIn(WhitePicture, 100.5, 2000.0);
    EXPECT_NEAR(ReadBandCentre().Red, Grey(0.1), 1);
}

TEST_F(Pictures, PicturesCoverTheViewAndLeaveWhite)
{
    const GLuint picture = MakeTexture(2, 2, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 255),
                                              Texel(0, 0, 255, 255), Texel(255, 255, 0, 255)});
    MarkScreen();
    DrawPicture(picture, 1.0);
    SaveScreen("effects_picture.png");
    // Upright and filling the band to its edges: red bottom left, yellow top right.
    EXPECT_TRUE(Near(ReadPixel(BandX + 1, BandY + 1), {255, 0, 0}));
    EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth - 2, BandY + BandHeight - 2), {255, 255, 0}));
    EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth - 2, BandY + 1), {0, 255, 0}));
    EXPECT_TRUE(Near(ReadPixel(BandX + 1, BandY + BandHeight - 2), {0, 0, 255}));

    // Brightness 0 still covers what was behind, in black.
    MarkScreen();
    DrawPicture(WhitePicture, 0.0);
    EXPECT_TRUE(Near(ReadBandCentre(), {0, 0, 0}, 0));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), WhitePicture);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // With sphere mapping on, the plain picture still maps its own coordinates and leaves
    // generation on; the other picture would have drawn with generated coordinates.
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    MarkScreen();
    DrawPlainPicture(picture, 0.5);
    EXPECT_TRUE(Near(ReadPixel(BandX + 1, BandY + 1), {128, 0, 0}));
    EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth - 2, BandY + BandHeight - 2), {128, 128, 0}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    DrawPlainPicture(picture, 1.0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S)) << "left on even where it was found off";
}

// Columns lit by the panel along the band's middle row.
int PanelWidth()
{
    int lit = 0;
    std::vector<Rgb> screen = ReadScreen();
    const int row = BandY + BandHeight / 2;
    for (int x = 0; x < ScreenWidth; ++x) {
        lit += Near(screen[static_cast<std::size_t>(row) * ScreenWidth + x], MarkColour, 0) ? 0 : 1;
    }
    return lit;
}

TEST_F(Pictures, PanelsSitAtTheirDepthAndBlendByAlpha)
{
    // A caption: its centre texels alpha 0.8, its surroundings 0.3 (dropped by the alpha test).
    std::vector<std::uint32_t> texels(16, Texel(255, 255, 255, 77));
    for (const int i : {5, 6, 9, 10}) {
        texels[i] = Texel(255, 0, 0, 204);
    }
    const GLuint caption = MakeTexture(4, 4, texels);
    const GLuint opaque = MakeSolidTexture(Texel(255, 255, 255, 255));

    // Its 2-unit width at eye depth 5.5 and 3.2, under the 45-degree view of 630 columns.
    const double unitColumns = BandWidth / 2.0 / (std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0);
    MarkScreen();
    DrawBlendedPanel(opaque, -6.5);
    EXPECT_NEAR(PanelWidth(), 2.0 / 5.5 * unitColumns, 2);
    MarkScreen();
    DrawBlendedPanel(opaque, -4.2);
    EXPECT_NEAR(PanelWidth(), 2.0 / 3.2 * unitColumns, 2);

    MarkScreen();
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawBlendedPanel(caption, -4.2);
    SaveScreen("effects_panel.png");
    EXPECT_TRUE(Near(ReadBandCentre(), {204, 0, 51}));
    EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth / 2 - 120, BandY + BandHeight / 2), MarkColour, 0));

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), caption);
}

}  // namespace

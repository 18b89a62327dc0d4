// The spinner squares and the sliding backdrop: where they turn, what they keep of the picture
// behind them, what they clear, and the state they leave.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/spinners.h"
#include "tests/support/effects_gl_support.h"
#include "textures/catalogue.h"

namespace {

std::int32_t Now = 0;  // the demo time the scenes are drawn for

const Rgb Red = {255, 0, 0};
const Rgb Black = {0, 0, 0};

// Screen position of a point of a square facing the eye at z = -5 under the later projection.
int ColumnOf(double x)
{
    return BandX + static_cast<int>(std::lround((x / (5.0 * std::tan(M_PI / 8) * 4 / 3) + 1.0) * BandWidth / 2));
}
int RowOf(double y)
{
    return BandY + static_cast<int>(std::lround((y / (5.0 * std::tan(M_PI / 8)) + 1.0) * BandHeight / 2));
}

class Spinners : public ::testing::Test {
protected:
    void SetUp() override
    {
        ApplyStartupState();
        Now = 0;
        glDisable(GL_DEPTH_TEST);
        // Left half opaque red; right half nearly transparent, under the alpha test's 0.4.
        Textures.Obrotnik = MakeTexture(2, 1, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 100)});
    }
};

TEST_F(Spinners, TurnBySpinPerThreeHundredMillisecondsTiltFirst)
{
    // At T = 0 nothing turns; spin 0 is still at any time.
    for (const std::int32_t time : {0, 9999}) {
        Now = time;
        MarkScreen();
        DrawSpinner(Now, 0, time == 0 ? 10 : 0);
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.5), RowOf(0.0)), Red)) << time;
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.5), RowOf(0.0)), MarkColour)) << time;
    }
    // 2700 ms at spin 10 is a quarter turn counter-clockwise: the red half goes to the bottom;
    // a negative spin turns the other way.
    Now = 2700;
    for (const int spin : {10, -10}) {
        MarkScreen();
        DrawSpinner(Now, 0, spin);
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.0), RowOf(-0.5 * spin / 10)), Red)) << spin;
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.0), RowOf(0.5 * spin / 10)), MarkColour)) << spin;
    }

    // The tilt about (1, 1, 1) comes before the spin about the square's normal, for both kinds.
    Now = 1234;
    glLoadIdentity();
    glTranslatef(0, 0, -6);
    glRotatef(-50, 1, 1, 1);
    glRotatef(-8 * (1234 / 300.0f), 0, 0, 1);
    GLfloat expected[16], actual[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    for (void (*draw)(std::int32_t, std::int32_t, std::int32_t) : {DrawSpinner, DrawTintedSpinner}) {
        draw(Now, -50, -8);
        glGetFloatv(GL_MODELVIEW_MATRIX, actual);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-4) << "entry " << i;
    }
}

TEST_F(Spinners, BlendOverThePictureAndLeaveBlendingOff)
{
    // A texel of alpha 0.6 passes the alpha test and is blended by its alpha over the picture.
    Textures.Obrotnik = MakeSolidTexture(Texel(255, 0, 0, 153));
    MarkScreen();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glShadeModel(GL_FLAT);
    DrawSpinner(Now, 0, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), {153, 0, 102}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), Textures.Obrotnik);

    // The plain spinner takes the colour it finds and leaves it.
    glColor3f(0.0f, 1.0f, 0.0f);
    Textures.Obrotnik = MakeSolidTexture(Texel(255, 255, 255, 255));
    DrawSpinner(Now, 0, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), {0, 255, 0}));
    EXPECT_TRUE(Near(CurrentColour(), {0, 255, 0}));
}

TEST_F(Spinners, TintedSpinnerClearsAndShowsOnlyTheLastSquareInViolet)
{
    Textures.Obrotnik = MakeSolidTexture(Texel(255, 255, 255, 255));
    MarkScreen();
    DrawTintedSpinner(Now, 0, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), {179, 51, 255}));
    EXPECT_TRUE(Near(ReadPixel(BandX + 5, BandY + 5), Black)) << "the screen is cleared first";
    // A second call in the frame wipes the first square: tilted far off, the centre is empty.
    DrawTintedSpinner(Now, 90, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), Black));
    EXPECT_TRUE(Near(CurrentColour(), {255, 255, 255}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(Spinners, BackdropSlidesMirroredAndLeavesTheViewAtMinusThree)
{
    // Spinners that discard every texel, so that only the backdrop shows.
    Textures.Obrotnik = MakeSolidTexture(Texel(255, 255, 255, 0));
    // Left half of the picture green, right half blue.
    Textures.Babka = MakeTexture(2, 1, {Texel(0, 255, 0, 255), Texel(0, 0, 255, 255)});
    const Rgb green = {0, 255, 0};
    const Rgb blue = {0, 0, 255};
    const int middle = BandY + BandHeight / 2;

    // Centred, it fills the band, mirrored left to right.
    MarkScreen();
    DrawSlidingBackdrop(Now, 0.0);
    for (const int row : {BandY + BandHeight / 4, middle, BandY + 3 * BandHeight / 4}) {
        EXPECT_TRUE(Near(ReadPixel(BandX + 2, row), blue)) << row;
        EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth - 3, row), green)) << row;
    }

    // At -0.6 the backdrop's right edge (x = 0.9) sits inside the view at depth 2.13; right of
    // it is cleared.
    DrawSlidingBackdrop(Now, -0.6);
    const double halfWidth = 2.13 * std::tan(M_PI / 8) * 4.0 / 3.0;
    const int edge = BandX + static_cast<int>(std::lround((0.9 / halfWidth + 1.0) * BandWidth / 2.0));
    EXPECT_TRUE(Near(ReadPixel(edge - 3, middle), green));
    EXPECT_TRUE(Near(ReadPixel(edge + 3, middle), Black));

    // At -3.0 it has left the view altogether.
    DrawSlidingBackdrop(Now, -3.0);
    EXPECT_EQ(CountOther(Black), 0);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), Textures.Obrotnik);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // The standard pair is drawn over the backdrop.
    Textures.Obrotnik = MakeSolidTexture(Texel(255, 0, 0, 255));
    DrawSlidingBackdrop(Now, 0.0);
    EXPECT_LT(CountOther(Red), ScreenWidth * ScreenHeight - 5000);
    EXPECT_TRUE(Near(ReadPixel(BandX + 2, middle), blue)) << "the backdrop is still around them";
}

}  // namespace

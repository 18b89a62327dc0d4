// The spinner squares and the sliding backdrop: where they turn, what they keep of the picture
// behind them, what they clear, and the state they leave.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "effects/spinners.h"
#include "shell/master.h"
#include "tests/effects_gl_support.h"
#include "textures/catalogue.h"

namespace {

const Rgb Red = {255, 0, 0};
const Rgb Black = {0, 0, 0};

// Column-major 4 x 4 products and rotations, written out from their definitions.
using Matrix = std::array<double, 16>;

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix c = {};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            for (int k = 0; k < 4; ++k) {
                c[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
            }
        }
    }
    return c;
}

Matrix Translation(double x, double y, double z)
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// Rodrigues' rotation about a unit axis, in degrees.
Matrix Rotation(double degrees, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = std::sin(degrees * M_PI / 180.0);
    const double t = 1.0 - c;
    return {t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0, t * x * y - s * z, t * y * y + c,
            t * y * z + s * x, 0,                 t * x * z + s * y, t * y * z - s * x, t * z * z + c,
            0,                 0,                 0,                 0,                 1};
}

void ExpectModelView(const Matrix& expected)
{
    GLfloat actual[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, actual);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-4) << "entry " << i;
    }
}

// Screen position of a point of the square's frame under the later projection, for a square
// facing the eye at z = -5: the frame's origin is 6 in front, the square 1 nearer.
int ColumnOf(double x)
{
    const double halfWidth = 5.0 * std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0;
    return BandX + static_cast<int>(std::lround((x / halfWidth + 1.0) * BandWidth / 2.0));
}
int RowOf(double y)
{
    const double halfHeight = 5.0 * std::tan(22.5 * M_PI / 180.0);
    return BandY + static_cast<int>(std::lround((y / halfHeight + 1.0) * BandHeight / 2.0));
}

class Spinners : public ::testing::Test {
protected:
    void SetUp() override
    {
        ApplyStartupState();
        glDisable(GL_DEPTH_TEST);
        // Left half opaque red; right half nearly transparent, under the alpha test's 0.4.
        TexObrotnik = MakeTexture(2, 1, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 100)});
    }
};

TEST_F(Spinners, TurnBySpinPerThreeHundredMillisecondsAboutTheirNormal)
{
    // At T = 0 only the tilt acts; spin 0 is still at any time.
    for (const std::int32_t time : {0, 9999}) {
        DemoTime = time;
        MarkScreen();
        DrawSpinner(0, time == 0 ? 10 : 0);
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.5), RowOf(0.0)), Red)) << time;
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.5), RowOf(0.0)), MarkColour)) << time;
    }

    // 2700 ms at spin 10 is a quarter turn counter-clockwise: the red half goes to the bottom.
    DemoTime = 2700;
    MarkScreen();
    DrawSpinner(0, 10);
    SaveScreen("effects_spinner_quarter_turn.png");
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.0), RowOf(-0.5)), Red));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.0), RowOf(0.5)), MarkColour));
    // A negative spin turns the other way.
    MarkScreen();
    DrawSpinner(0, -10);
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.0), RowOf(0.5)), Red));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.0), RowOf(-0.5)), MarkColour));
}

TEST_F(Spinners, PlaceTheSquareByTiltAboutOneOneOneThenSpin)
{
    DemoTime = 1234;
    DrawSpinner(30, 10);
    ExpectModelView(Multiply(Multiply(Translation(0, 0, -6), Rotation(30, 1, 1, 1)),
                             Rotation(10 * (1234 / 300.0), 0, 0, 1)));
    DrawSpinner(-50, -8);
    ExpectModelView(Multiply(Multiply(Translation(0, 0, -6), Rotation(-50, 1, 1, 1)),
                             Rotation(-8 * (1234 / 300.0), 0, 0, 1)));

    // The violet square is placed the same way: its extra turn about the null axis is no turn.
    DrawTintedSpinner(-50, -8);
    ExpectModelView(Multiply(Multiply(Translation(0, 0, -6), Rotation(-50, 1, 1, 1)),
                             Rotation(-8 * (1234 / 300.0), 0, 0, 1)));

    // Both pairs, as the schedule draws them over black, for a look by eye.
    TexObrotnik = MakeTexture(2, 2, {Texel(255, 200, 0, 255), Texel(0, 0, 0, 0), Texel(0, 0, 0, 0),
                                     Texel(0, 200, 255, 255)});
    glClear(GL_COLOR_BUFFER_BIT);
    DrawSpinner(30, 10);
    DrawSpinner(-50, -8);
    SaveScreen("effects_spinner_pair.png");
}

TEST_F(Spinners, BlendOverThePictureAndLeaveBlendingOff)
{
    // A texel of alpha 0.6 passes the alpha test and is blended by its alpha over the picture.
    TexObrotnik = MakeSolidTexture(Texel(255, 0, 0, 153));
    glColor3f(1.0f, 1.0f, 1.0f);
    MarkScreen();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glShadeModel(GL_FLAT);
    DrawSpinner(0, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), {153, 0, 102}));

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), TexObrotnik);

    // The plain spinner takes the colour it finds and leaves it.
    glColor3f(0.0f, 1.0f, 0.0f);
    TexObrotnik = MakeSolidTexture(Texel(255, 255, 255, 255));
    MarkScreen();
    DrawSpinner(0, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), {0, 255, 0}));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
}

TEST_F(Spinners, TintedSpinnerClearsAndShowsOnlyTheLastSquareInViolet)
{
    TexObrotnik = MakeSolidTexture(Texel(255, 255, 255, 255));
    DemoTime = 0;
    MarkScreen();
    DrawTintedSpinner(0, 0);
    EXPECT_TRUE(Near(ReadBandCentre(), {179, 51, 255}));
    EXPECT_TRUE(Near(ReadPixel(BandX + 5, BandY + 5), Black)) << "the screen is cleared first";

    // A second call in the frame wipes the first square: tilted far off, the centre is empty.
    DrawTintedSpinner(90, 0);
    SaveScreen("effects_tinted_spinner.png");
    EXPECT_TRUE(Near(ReadBandCentre(), Black));

    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(Spinners, BackdropSlidesMirroredAndLeavesTheViewAtMinusThree)
{
    // Spinners that discard every texel, so that only the backdrop shows.
    TexObrotnik = MakeSolidTexture(Texel(255, 255, 255, 0));
    // Left half of the picture green, right half blue.
    TexBabka = MakeTexture(2, 1, {Texel(0, 255, 0, 255), Texel(0, 0, 255, 255)});
    const Rgb green = {0, 255, 0};
    const Rgb blue = {0, 0, 255};
    const int left = BandX + BandWidth / 4;
    const int right = BandX + 3 * BandWidth / 4;
    const int middle = BandY + BandHeight / 2;

    // Centred, it fills the band, mirrored left to right.
    glColor3f(1.0f, 1.0f, 1.0f);
    MarkScreen();
    DrawSlidingBackdrop(0.0);
    SaveScreen("effects_backdrop_0.png");
    for (const int row : {BandY + BandHeight / 4, middle, BandY + 3 * BandHeight / 4}) {
        EXPECT_TRUE(Near(ReadPixel(left, row), blue)) << row;
        EXPECT_TRUE(Near(ReadPixel(right, row), green)) << row;
    }
    EXPECT_TRUE(Near(ReadPixel(BandX + 2, middle), blue));
    EXPECT_TRUE(Near(ReadPixel(BandX + BandWidth - 3, middle), green));

    // At -0.6 the backdrop's right edge (x = 0.9) sits inside the view; right of it is cleared.
    // Half width of the view at depth 2.13 is 2.13 tan(22.5) 4/3 = 1.176.
    DrawSlidingBackdrop(-0.6);
    SaveScreen("effects_backdrop_minus_0_6.png");
    const double halfWidth = 2.13 * std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0;
    const int edge = BandX + static_cast<int>(std::lround((0.9 / halfWidth + 1.0) * BandWidth / 2.0));
    EXPECT_TRUE(Near(ReadPixel(edge - 3, middle), green));
    EXPECT_TRUE(Near(ReadPixel(edge + 3, middle), Black));

    // At -3.0 it has left the view altogether.
    DrawSlidingBackdrop(-3.0);
    int lit = 0;
    for (const Rgb& pixel : ReadScreen()) {
        lit += Near(pixel, Black) ? 0 : 1;
    }
    EXPECT_EQ(lit, 0);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), TexObrotnik);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // The standard pair is drawn over the backdrop.
    TexObrotnik = MakeSolidTexture(Texel(255, 0, 0, 255));
    DrawSlidingBackdrop(0.0);
    int red = 0;
    for (const Rgb& pixel : ReadScreen()) {
        red += Near(pixel, Red) ? 1 : 0;
    }
    EXPECT_GT(red, 5000);
    EXPECT_TRUE(Near(ReadPixel(BandX + 2, middle), blue)) << "the backdrop is still around them";
}

}  // namespace

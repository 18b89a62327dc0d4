// The opening cube: its averaged turning angle, the picture it leaves, and the state it hands on.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "effects/wide_angle_cube.h"
#include "tests/support/effects_gl_support.h"
#include "textures/catalogue.h"

namespace {

class WideAngleCube : public ::testing::Test {
protected:
    void SetUp() override { ApplyStartupState(); }

    std::int32_t previous = 0;  // the time of the averaged angle's last step, 0 at the start of a run
};

TEST_F(WideAngleCube, AngleIsTheMeanOfTwoTimesQuartered)
{
    // First call averages with the 0 the production starts from; a stall catches up a frame later.
    EXPECT_EQ(StepAveragedAngle(previous, 1000), 125.0f);
    EXPECT_EQ(previous, 1000);
    EXPECT_EQ(StepAveragedAngle(previous, 1000), 250.0f);
    // The halving and quartering are real divisions: an odd sum keeps its fractions.
    previous = 1;
    EXPECT_EQ(StepAveragedAngle(previous, 2), 0.375f);
    // The sum wraps as a 32-bit integer instead of overflowing.
    previous = INT_MAX;
    EXPECT_EQ(StepAveragedAngle(previous, 1), static_cast<float>(INT_MIN / 8));
}

TEST_F(WideAngleCube, LeavesTheWideLensAdditiveBlendingAndNoDepthTest)
{
    Textures.Tlo3 = MakeSolidTexture(Texel(255, 255, 255, 255));
    // State a scene before might have left, all of which the cube must replace.
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glBlendFunc(GL_ONE, GL_ZERO);
    glMatrixMode(GL_PROJECTION);
    glViewport(0, 0, 640, 480);  // a different window shape must not change the lens

    DrawWideAngleCube(0.5, StepAveragedAngle(previous, 5000));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(GetInteger(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_EQ(GetInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), Textures.Tlo3);
    EXPECT_TRUE(Near(CurrentColour(), {128, 128, 128}, 1));

    // A 165-degree perspective with aspect 4/3, near 0.001 and far 100.
    const double focal = 1.0 / std::tan(165.0 / 2.0 * M_PI / 180.0);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[0], focal * 3.0 / 4.0, 1e-6);
    EXPECT_NEAR(projection[5], focal, 1e-6);
    EXPECT_NEAR(projection[10], -100.001 / 99.999, 1e-6);
    EXPECT_NEAR(projection[14], -0.2 / 99.999, 1e-6);

    // The push is undone: the model-view is the translation to the cube's frame alone.
    GLfloat modelView[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_FLOAT_EQ(modelView[0], 1.0f);
    EXPECT_FLOAT_EQ(modelView[14], -6.0f);
}

TEST_F(WideAngleCube, EveryPixelShowsOneInnerFaceTimesTheBrightness)
{
    Textures.Tlo3 = MakeSolidTexture(Texel(200, 120, 40, 255));
    glViewport(0, 0, ScreenWidth, ScreenHeight);
    // Whatever the turn, the eye is inside the cube: the whole screen is covered once, with no
    // face added twice.
    for (const std::int32_t time : {0, 4321, 17999}) {
        for (const double brightness : {1.0, 0.5}) {
            MarkScreen();
            DrawWideAngleCube(brightness, StepAveragedAngle(previous, time));
            const auto scaled = [brightness](int c) { return static_cast<int>(std::lround(c * brightness)); };
            EXPECT_EQ(CountOther({scaled(200), scaled(120), scaled(40)}), 0) << time << ", " << brightness;
        }
    }
}

// Where the ray through a pixel meets the back face (normal (0, 0, -1)) of the cube turned by
// angle a (a / 2 about X, then a / 3 about Y), cast here independently of the drawing. Gives
// the texture coordinate there, or false if the ray meets another face first.
bool BackFaceTexCoord(double angle, int column, int row, double& s, double& t)
{
    const double focal = 1.0 / std::tan(165.0 / 2.0 * M_PI / 180.0);
    const double x = ((column + 0.5) / ScreenWidth * 2.0 - 1.0) * (4.0 / 3.0) / focal;
    const double y = ((row + 0.5) / ScreenHeight * 2.0 - 1.0) / focal;
    // Undo the turns in the inverse order of the drawing.
    const double ax = -angle / 2.0 * M_PI / 180.0, ay = -angle / 3.0 * M_PI / 180.0;
    const auto toCube = [ax, ay](double vx, double vy, double vz, double out[3]) {
        const double ry = vy * std::cos(ax) - vz * std::sin(ax);
        const double rz = vy * std::sin(ax) + vz * std::cos(ax);
        out[0] = vx * std::cos(ay) + rz * std::sin(ay);
        out[1] = ry;
        out[2] = -vx * std::sin(ay) + rz * std::cos(ay);
    };
    double eye[3], direction[3];
    toCube(0.0, 0.0, 1.0, eye);  // the eye sits 1 unit from the centre, along the view axis
    toCube(x, y, -1.0, direction);
    if (direction[2] >= 0.0)
        return false;
    const double exit = (-1.0 - eye[2]) / direction[2];
    for (int axis = 0; axis < 2; ++axis) {
        if (direction[axis] != 0.0 && ((direction[axis] > 0 ? 1.0 : -1.0) - eye[axis]) / direction[axis] < exit)
            return false;
    }
    s = (1.0 - (eye[0] + exit * direction[0])) / 2.0;  // s runs from 1 at x = -1 to 0 at x = 1
    t = (eye[1] + exit * direction[1] + 1.0) / 2.0;
    return true;
}

TEST_F(WideAngleCube, ShowsTheBackFaceWhereARayCastFindsIt)
{
    constexpr int Size = 16;
    std::vector<std::uint32_t> texels;
    for (int row = 0; row < Size; ++row)
        for (int column = 0; column < Size; ++column)
            texels.push_back(Texel(column * 16 + 8, row * 16 + 8, 128, 255));
    Textures.Tlo3 = MakeTexture(Size, Size, texels);
    glViewport(0, 0, ScreenWidth, ScreenHeight);

    int checked = 0;
    for (const std::int32_t time : {120, 260}) {
        previous = time;
        DrawWideAngleCube(1.0, StepAveragedAngle(previous, time));
        for (int column = 280; column <= 360; column += 4) {
            for (int row = 200; row <= 280; row += 4) {
                double s = 0.0, t = 0.0;
                if (!BackFaceTexCoord(time / 4.0, column, row, s, t))
                    continue;
                // Skip pixels too near a texel edge to call.
                const double fs = s * Size - std::floor(s * Size), ft = t * Size - std::floor(t * Size);
                if (fs < 0.1 || fs > 0.9 || ft < 0.1 || ft > 0.9)
                    continue;
                EXPECT_TRUE(Near(ReadPixel(column, row), {int(s * Size) * 16 + 8, int(t * Size) * 16 + 8, 128}))
                    << "time " << time << " pixel " << column << "," << row;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 30);
}

}  // namespace

// The cube star on real Mesa: the cube list's faces, the matrix each step leaves, and frames in time.
#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "effects/cube_star.h"
#include "platform/headless.h"

namespace {

constexpr int Size = 64;

using Matrix = std::array<double, 16>;

Matrix CurrentModelView()
{
    Matrix m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// Some caller's matrix, neither identity nor axis-aligned, with the given steps applied after it.
Matrix CallerThen(const std::function<void()>& steps)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.5, -0.25, -7);
    glRotated(33, 1, 0, 0);
    steps();
    return CurrentModelView();
}

void ExpectMatrixNear(const Matrix& actual, const Matrix& expected, double tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

using Pixels = std::vector<std::uint8_t>;

Pixels ReadAll()
{
    Pixels pixels(Size * Size * 4);
    glReadPixels(0, 0, Size, Size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::uint32_t PixelAt(const Pixels& pixels, int x, int y)
{
    const std::size_t at = static_cast<std::size_t>(y * Size + x) * 4;
    return static_cast<std::uint32_t>(pixels[at]) << 16 | pixels[at + 1] << 8 | pixels[at + 2];
}

class CubeStar : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(HeadlessCreateContext(Size, Size));
        BuildCubeList();
    }
    static void TearDownTestSuite() { HeadlessDestroyContext(); }

    void SetUp() override
    {
        glViewport(0, 0, Size, Size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glColor4f(1, 1, 1, 1);
    }
};

}  // namespace

TEST_F(CubeStar, EveryFaceOfTheCubeListShowsTheWholeTexture)
{
    // Four texels, one per corner of the texture, so each quarter of a face shows which corner it got.
    const std::uint32_t corners[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00};  // (0,0) (1,0) (0,1) (1,1)
    const std::uint8_t texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -5, 5);
    glMatrixMode(GL_MODELVIEW);

    // The turn that brings each face to the viewer: front, back, top, bottom, right, left.
    const float turns[6][4] = {{0, 0, 1, 0},   {180, 0, 1, 0}, {90, 1, 0, 0},
                               {-90, 1, 0, 0}, {-90, 0, 1, 0}, {90, 0, 1, 0}};
    const int low = Size / 2 - Size / 8, high = Size / 2 + Size / 8;
    for (int face = 0; face < 6; ++face) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(turns[face][0], turns[face][1], turns[face][2], turns[face][3]);
        glCallList(CubeList);
        const Pixels pixels = ReadAll();
        const std::uint32_t seen[4] = {PixelAt(pixels, low, low), PixelAt(pixels, high, low),
                                       PixelAt(pixels, low, high), PixelAt(pixels, high, high)};
        EXPECT_EQ(std::set<std::uint32_t>(seen, seen + 4), std::set<std::uint32_t>(corners, corners + 4)) << face;
        // The corners of the screen stay clear: the cube is the unit cube, not larger.
        EXPECT_EQ(PixelAt(pixels, 2, 2), 0u) << face;
        // The front face stands upright: texture (0,0) at its bottom left.
        if (face == 0) {
            EXPECT_TRUE(std::equal(seen, seen + 4, corners));
        }
    }
    glDeleteTextures(1, &texture);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(CubeStar, ChainStepsTranslateTurnAndShrinkAndTheStarLeavesOnlyTheArmToArmTurns)
{
    const Matrix caller = CallerThen([] {});
    for (const std::int32_t depth : {ChainLength, 25}) {
        DrawCubeChain(depth, 30.0f, 40.0f);
        ExpectMatrixNear(CurrentModelView(), caller, 0.0);
    }
    // One step: along X by 2.25, turned about Y then X, shrunk by 0.9; the whole arm is 19 of them.
    const auto step = [] {
        glTranslated(2.25, 0, 0);
        glRotated(30, 0, 1, 0);
        glRotated(40, 1, 0, 0);
        glScaled(0.9, 0.9, 0.9);
    };
    const Matrix oneStep = CallerThen(step);
    CallerThen([] { DrawCubeChain(ChainLength - 1, 30.0f, 40.0f); });
    ExpectMatrixNear(CurrentModelView(), oneStep, 1e-5);
    const Matrix wholeArm = CallerThen([&step] {
        for (int depth = 0; depth < ChainLength; ++depth)
            step();
    });
    CallerThen([] { DrawCubeChain(0, 30.0f, 40.0f); });
    ExpectMatrixNear(CurrentModelView(), wholeArm, 1e-4);

    const Matrix starEnd = CallerThen([] {
        glScaled(0.9, 0.9, 0.9);
        glRotated(270, 0, 1, 0);
        glRotated(270, 0, 0, 1);
    });
    for (std::int32_t t : {0, 27777}) {
        CallerThen([t] { DrawCubeStar(t); });
        ExpectMatrixNear(CurrentModelView(), starEnd, 1e-5);
        EXPECT_EQ(GLint{1}, [] {
            GLint depth = 0;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
            return depth;
        }());
    }
}

TEST_F(CubeStar, AFrameDependsOnTheTimeAlone)
{
    // As the timeline draws it: seven units away, additive blending, no depth test.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(100.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(0.2f, 0.2f, 0.2f, 1.0f);
    const auto frameAt = [](std::int32_t t) {
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -7);
        DrawCubeStar(t);
        return ReadAll();
    };
    const Pixels first = frameAt(0);
    EXPECT_FALSE(frameAt(1000) == first);
    EXPECT_TRUE(frameAt(0) == first);
    int lit = 0;
    for (std::size_t i = 0; i < first.size(); i += 4)
        lit += first[i] + first[i + 1] + first[i + 2] != 0;
    EXPECT_GT(lit, Size * Size / 10);
}

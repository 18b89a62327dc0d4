// The cube star on real Mesa: the cube list's faces, the matrix each step leaves, and frames in time.
#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "effects/cube_star.h"
#include "platform/headless.h"

namespace {

constexpr int Size = 64;

// Column-major like OpenGL, worked out here by hand so the test does not trust GL's own maths.
using Matrix = std::array<double, 16>;

Matrix Identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix product{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                product[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return product;
}

Matrix Translation(double x, double y, double z)
{
    Matrix m = Identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix Scaling(double factor)
{
    Matrix m = Identity();
    m[0] = m[5] = m[10] = factor;
    return m;
}

// Rotation by degrees about one axis: 0 is X, 1 is Y, 2 is Z.
Matrix Rotation(double degrees, int axis)
{
    const double c = std::cos(degrees * M_PI / 180.0), s = std::sin(degrees * M_PI / 180.0);
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    Matrix m = Identity();
    m[i * 4 + i] = c;
    m[j * 4 + j] = c;
    m[i * 4 + j] = s;
    m[j * 4 + i] = -s;
    return m;
}

Matrix CurrentModelView()
{
    Matrix m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void LoadModelView(const Matrix& m)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(m.data());
}

void ExpectMatrixNear(const Matrix& actual, const Matrix& expected, double tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

// Some caller's matrix, neither identity nor axis-aligned.
Matrix CallerMatrix()
{
    return Multiply(Translation(0.5, -0.25, -7), Rotation(33, 0));
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

// Four texels, one per corner of the texture, so each quarter of a face shows which corner it got.
const std::uint32_t CornerColours[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00};  // (0,0) (1,0) (0,1) (1,1)

GLuint MakeCornerTexture()
{
    std::uint8_t texels[16];
    for (int i = 0; i < 4; ++i) {
        texels[i * 4] = static_cast<std::uint8_t>(CornerColours[i] >> 16);
        texels[i * 4 + 1] = static_cast<std::uint8_t>(CornerColours[i] >> 8);
        texels[i * 4 + 2] = static_cast<std::uint8_t>(CornerColours[i]);
        texels[i * 4 + 3] = 255;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return texture;
}

}  // namespace

TEST_F(CubeStar, EveryFaceOfTheCubeListShowsTheWholeTexture)
{
    const GLuint texture = MakeCornerTexture();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -5, 5);

    // The turn that brings each face to the viewer: front, back, top, bottom, right, left.
    const Matrix faceToViewer[6] = {Identity(),     Rotation(180, 1), Rotation(90, 0),
                                    Rotation(-90, 0), Rotation(-90, 1), Rotation(90, 1)};
    const int low = Size / 2 - Size / 8, high = Size / 2 + Size / 8;
    for (int face = 0; face < 6; ++face) {
        SCOPED_TRACE(face);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        LoadModelView(faceToViewer[face]);
        glCallList(CubeList);
        const Pixels pixels = ReadAll();
        const std::set<std::uint32_t> seen = {PixelAt(pixels, low, low), PixelAt(pixels, high, low),
                                              PixelAt(pixels, low, high), PixelAt(pixels, high, high)};
        EXPECT_EQ(seen, std::set<std::uint32_t>(std::begin(CornerColours), std::end(CornerColours)));
        // The corners of the screen stay clear: the cube is the unit cube, not larger.
        EXPECT_EQ(PixelAt(pixels, 2, 2), 0u);
        if (face == 0) {
            // The front face stands upright: texture (0,0) at its bottom left.
            EXPECT_EQ(PixelAt(pixels, low, low), CornerColours[0]);
            EXPECT_EQ(PixelAt(pixels, high, low), CornerColours[1]);
            EXPECT_EQ(PixelAt(pixels, low, high), CornerColours[2]);
            EXPECT_EQ(PixelAt(pixels, high, high), CornerColours[3]);
        }
    }
    glDeleteTextures(1, &texture);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(CubeStar, ChainStepsTranslateTurnAndShrinkAndEndAtDepthNineteen)
{
    LoadModelView(CallerMatrix());
    const Matrix caller = CurrentModelView();
    DrawCubeChain(ChainLength, 30.0f, 40.0f);
    ExpectMatrixNear(CurrentModelView(), caller, 0.0);
    DrawCubeChain(25, 30.0f, 40.0f);
    ExpectMatrixNear(CurrentModelView(), caller, 0.0);

    const Matrix step = Multiply(Multiply(Multiply(Translation(2.25, 0, 0), Rotation(30, 1)), Rotation(40, 0)),
                                 Scaling(0.9));
    LoadModelView(caller);
    DrawCubeChain(ChainLength - 1, 30.0f, 40.0f);
    ExpectMatrixNear(CurrentModelView(), Multiply(caller, step), 1e-5);

    Matrix whole = caller;
    for (int depth = 0; depth < ChainLength; ++depth)
        whole = Multiply(whole, step);
    LoadModelView(caller);
    DrawCubeChain(0, 30.0f, 40.0f);
    ExpectMatrixNear(CurrentModelView(), whole, 1e-4);
}

TEST_F(CubeStar, StarLeavesOnlyTheArmToArmTurnsOnTheMatrix)
{
    const Matrix expected =
        Multiply(Multiply(Multiply(CallerMatrix(), Scaling(0.9)), Rotation(270, 1)), Rotation(270, 2));
    for (std::int32_t t : {0, 1000, 27777}) {
        SCOPED_TRACE(t);
        LoadModelView(CallerMatrix());
        DrawCubeStar(t);
        ExpectMatrixNear(CurrentModelView(), expected, 1e-5);
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
}

TEST_F(CubeStar, AFrameDependsOnTheTimeAlone)
{
    // As the timeline draws it: seven units away, additive blending, no depth test.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(100.0, 1.0, 1.0, 100.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(0.2f, 0.2f, 0.2f, 1.0f);
    const auto frameAt = [](std::int32_t t) {
        glClear(GL_COLOR_BUFFER_BIT);
        LoadModelView(Translation(0, 0, -7));
        DrawCubeStar(t);
        return ReadAll();
    };
    const Pixels first = frameAt(0);
    EXPECT_FALSE(frameAt(1000) == first);
    EXPECT_TRUE(frameAt(0) == first);
    int lit = 0;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x)
            lit += PixelAt(first, x, y) != 0;
    EXPECT_GT(lit, Size * Size / 10);
}

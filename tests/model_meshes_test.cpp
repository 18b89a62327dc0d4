// Point models drawn as textured triangles, and the turning roza.txt scene around them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "effects/model_meshes.h"
#include "shell/master.h"
#include "tests/effects_gl_support.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"

namespace {

const Rgb Black = {0, 0, 0};
// Texels at the texture's corners: (0,0) red, (1,0) green, (0,1) blue, (1,1) white.
const Rgb CornerA = {0, 0, 255};
const Rgb CornerB = {255, 255, 255};
const Rgb CornerC = {0, 255, 0};

// Pixel of an eye-space point on the plane z = -2 under the 45-degree view.
int ColumnOf(double x)
{
    const double halfWidth = 2.0 * std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0;
    return BandX + static_cast<int>(std::lround((x / halfWidth + 1.0) * BandWidth / 2.0));
}
int RowOf(double y)
{
    const double halfHeight = 2.0 * std::tan(22.5 * M_PI / 180.0);
    return BandY + static_cast<int>(std::lround((y / halfHeight + 1.0) * BandHeight / 2.0));
}

// The records are megabytes: emptied in place rather than through a temporary on the stack.
void ClearModel(PointModel& model)
{
    std::memset(&model, 0, sizeof model);
}

void AddVertex(PointModel& model, double x, double y, double z)
{
    model.VertexX[model.VertexCount] = x;
    model.VertexY[model.VertexCount] = y;
    model.VertexZ[model.VertexCount] = z;
    ++model.VertexCount;
}

void AddTriangle(PointModel& model, std::int32_t a, std::int32_t b, std::int32_t c)
{
    model.TriangleA[model.TriangleCount] = a;
    model.TriangleB[model.TriangleCount] = b;
    model.TriangleC[model.TriangleCount] = c;
    ++model.TriangleCount;
}

int LitPixels()
{
    int lit = 0;
    for (const Rgb& pixel : ReadScreen()) {
        lit += Near(pixel, Black, 0) ? 0 : 1;
    }
    return lit;
}

class ModelMeshes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ApplyStartupState();
        glDisable(GL_DEPTH_TEST);
        TexTlo3 = MakeTexture(2, 2, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 255), Texel(0, 0, 255, 255),
                                     Texel(255, 255, 255, 255)});
        ClearModel(ModelRoza);
        // One big right triangle with its right angle at B, the top right of the view.
        AddVertex(ModelRoza, -0.6, 0.6, 0.0);
        AddVertex(ModelRoza, 0.6, 0.6, 0.0);
        AddVertex(ModelRoza, 0.6, -0.6, 0.0);
        AddTriangle(ModelRoza, 0, 1, 2);
    }
};

TEST_F(ModelMeshes, EachCornerShowsItsFixedCornerOfTheTexture)
{
    DemoTime = 0;
    DrawRozaScene(1.0, 1.0, 1.0);
    SaveScreen("effects_model_triangle.png");
    // Unturned at T = 0: A top left, B top right, C bottom right.
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.5), RowOf(0.55)), CornerA));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(0.55)), CornerB));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(-0.5)), CornerC));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.4), RowOf(-0.4)), Black)) << "beyond the diagonal";

    // The scene leaves white and tlo3.jpg bound.
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), TexTlo3);
}

TEST_F(ModelMeshes, SceneTurnsClockwiseAndTints)
{
    // 1350 ms is -90 degrees: the top-right corner B turns to the bottom right, A to the top right.
    DemoTime = 1350;
    DrawRozaScene(1.0, 0.7, 0.3);
    SaveScreen("effects_model_turned_tinted.png");
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(-0.55)), {255, 179, 77}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(0.5)), {0, 0, 77}));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 1.0f) << "the tint is not left for later scenes";
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    GLfloat modelView[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_NEAR(modelView[0], 0.0, 1e-5);
    EXPECT_NEAR(modelView[1], -1.0, 1e-5);
    EXPECT_NEAR(modelView[14], -2.0, 1e-5);

    // Black on black shows nothing, and the scene clears what was there before.
    MarkScreen();
    DrawRozaScene(0.0, 0.0, 0.0);
    EXPECT_EQ(LitPixels(), 0);
}

TEST_F(ModelMeshes, EmptyDegenerateAndUnknownTrianglesDrawNothing)
{
    ModelRoza.TriangleCount = 0;
    MarkScreen();
    DrawRozaScene(1.0, 1.0, 1.0);
    EXPECT_EQ(LitPixels(), 0) << "an empty model leaves the cleared frame";

    // A triangle with three equal corners has no area.
    ClearModel(ModelRoza);
    AddVertex(ModelRoza, 0.1, 0.1, 0.0);
    AddTriangle(ModelRoza, 0, 0, 0);
    DrawRozaScene(1.0, 1.0, 1.0);
    EXPECT_EQ(LitPixels(), 0);

    // Corners the file never gave, negative, past the vertices read or past the arrays, are
    // skipped, not read; the triangles around them still draw.
    AddVertex(ModelRoza, 0.6, 0.6, 0.0);
    AddVertex(ModelRoza, 0.6, -0.6, 0.0);
    AddVertex(ModelRoza, -0.6, 0.6, 0.0);
    AddTriangle(ModelRoza, 3, 1, 2);
    DrawRozaScene(1.0, 1.0, 1.0);
    const int oneTriangle = LitPixels();
    EXPECT_GT(oneTriangle, 1000);
    // A vertex left in the arrays past the count would draw the lower left if it were used.
    ModelRoza.VertexX[4] = -0.6;
    ModelRoza.VertexY[4] = -0.6;
    AddTriangle(ModelRoza, 4, 3, 2);
    AddTriangle(ModelRoza, -1, 3, 2);
    AddTriangle(ModelRoza, 3, 2, MaxModelItems + 5);
    AddTriangle(ModelRoza, 3, 1, 2);
    DrawRozaScene(1.0, 1.0, 1.0);
    SaveScreen("effects_model_skipped_corners.png");
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(0.55)), CornerB));
    EXPECT_EQ(LitPixels(), oneTriangle) << "only the valid triangle drew";
    // A count beyond the arrays' capacity stops at their end.
    ModelRoza.TriangleCount = INT32_MAX;
    DrawRozaScene(1.0, 1.0, 1.0);
    EXPECT_EQ(LitPixels(), oneTriangle);
}

TEST_F(ModelMeshes, TrianglesDrawWithTheCallersTransformColourAndBlending)
{
    static PointModel starfish;
    ClearModel(starfish);
    AddVertex(starfish, 0.0, 0.0, 0.0);
    AddVertex(starfish, 0.4, 0.0, 0.0);
    AddVertex(starfish, 0.0, 0.4, 0.0);
    AddTriangle(starfish, 0, 1, 2);
    TexTlo3 = MakeSolidTexture(Texel(255, 255, 255, 255));

    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(-0.5f, 0.0f, -2.0f);
    glBindTexture(GL_TEXTURE_2D, TexTlo3);
    glColor3f(0.5f, 0.5f, 0.5f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawModelTriangles(starfish);
    DrawModelTriangles(starfish);
    glDisable(GL_BLEND);
    // Drawn twice additively at half grey: full white, where the caller put it.
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.4), RowOf(0.1)), {255, 255, 255}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.1), RowOf(0.1)), Black, 0));
}

}  // namespace

// Point models drawn as textured triangles, and the turning roza.txt scene around them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/mesh_path.h"
#include "effects/model_meshes.h"
#include "tests/support/effects_gl_support.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"

namespace {

std::int32_t Now = 0;  // the demo time the scenes are drawn for

const Rgb Black = {0, 0, 0};

// Pixel of an eye-space point on the plane z = -2 under the 45-degree view.
int ColumnOf(double x)
{
    return BandX + static_cast<int>(std::lround((x / (2.0 * std::tan(M_PI / 8) * 4 / 3) + 1.0) * BandWidth / 2));
}
int RowOf(double y)
{
    return BandY + static_cast<int>(std::lround((y / (2.0 * std::tan(M_PI / 8)) + 1.0) * BandHeight / 2));
}

// Empties the model in place (the records are megabytes) and fills it with flat vertices and triangles.
void SetModel(PointModel& model, const std::vector<std::pair<double, double>>& vertices,
              const std::vector<std::array<std::int32_t, 3>>& triangles)
{
    std::memset(&model, 0, sizeof model);
    for (const auto& [x, y] : vertices) {
        model.VertexX[model.VertexCount] = x;
        model.VertexY[model.VertexCount++] = y;
    }
    for (const auto& corners : triangles) {
        model.TriangleA[model.TriangleCount] = corners[0];
        model.TriangleB[model.TriangleCount] = corners[1];
        model.TriangleC[model.TriangleCount++] = corners[2];
    }
}

// ModelRoza as start-up leaves it, its mesh built once it is loaded, drawn for the demo time Now.
void DrawLoadedRoza(double red, double green, double blue)
{
    BuildModelMeshes();
    DrawRozaScene(Now, red, green, blue);
}

// Every case runs on both ways of sending the triangles.
class ModelMeshes : public ::testing::TestWithParam<MeshPath> {
protected:
    void TearDown() override { SetMeshPath(MeshPath::Arrays); }
    void SetUp() override
    {
        SetMeshPath(GetParam());
        ApplyStartupState();
        Now = 0;
        glDisable(GL_DEPTH_TEST);
        // Texels at the texture's corners: (0,0) red, (1,0) green, (0,1) blue, (1,1) white.
        Textures.Tlo3 = MakeTexture(
            2, 2, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 255), Texel(0, 0, 255, 255), Texel(255, 255, 255, 255)});
        // One big right triangle with its right angle at B, the top right of the view.
        SetModel(ModelRoza, {{-0.6, 0.6}, {0.6, 0.6}, {0.6, -0.6}}, {{0, 1, 2}});
    }
};

TEST_P(ModelMeshes, EachCornerShowsItsFixedCornerOfTheTextureAndTheSceneTurnsClockwise)
{
    DrawLoadedRoza(1.0, 1.0, 1.0);
    // Unturned at T = 0: A top left, B top right, C bottom right.
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.5), RowOf(0.55)), {0, 0, 255}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(0.55)), {255, 255, 255}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(-0.5)), {0, 255, 0}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.4), RowOf(-0.4)), Black)) << "beyond the diagonal";
    EXPECT_EQ(static_cast<GLuint>(GetInteger(GL_TEXTURE_BINDING_2D)), Textures.Tlo3);

    // 1350 ms is -90 degrees: B turns to the bottom right, A to the top right; tinted.
    Now = 1350;
    DrawLoadedRoza(1.0, 0.7, 0.3);
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(-0.55)), {255, 179, 77}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.55), RowOf(0.5)), {0, 0, 77}));
    EXPECT_TRUE(Near(CurrentColour(), {255, 255, 255}, 0)) << "the tint is not left for later scenes";
    GLfloat modelView[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_NEAR(modelView[1], -1.0, 1e-5);
    EXPECT_NEAR(modelView[14], -2.0, 1e-5);

    // Black on black shows nothing, and the scene clears what was there before.
    MarkScreen();
    DrawLoadedRoza(0.0, 0.0, 0.0);
    EXPECT_EQ(CountOther(Black), 0);
}

TEST_P(ModelMeshes, EmptyDegenerateAndOutsideTheArraysTrianglesDrawNothing)
{
    ModelRoza.TriangleCount = 0;
    MarkScreen();
    DrawLoadedRoza(1.0, 1.0, 1.0);
    EXPECT_EQ(CountOther(Black), 0) << "an empty model leaves the cleared frame";
    SetModel(ModelRoza, {{0.1, 0.1}}, {{0, 0, 0}});
    DrawLoadedRoza(1.0, 1.0, 1.0);
    EXPECT_EQ(CountOther(Black), 0) << "three equal corners have no area";

    // Corners negative or past the arrays are skipped, not read; the triangles around them still draw.
    SetModel(ModelRoza, {{0.1, 0.1}, {0.6, 0.6}, {0.6, -0.6}, {-0.6, 0.6}}, {{3, 1, 2}});
    DrawLoadedRoza(1.0, 1.0, 1.0);
    const int oneTriangle = CountOther(Black);
    EXPECT_GT(oneTriangle, 1000);
    for (const std::array<std::int32_t, 3> bad :
         {std::array{-1, 3, 2}, {3, 2, MaxModelItems}, {3, 2, MaxModelItems + 5}, {INT32_MIN, 1, 2}}) {
        ModelRoza.TriangleA[ModelRoza.TriangleCount] = bad[0];
        ModelRoza.TriangleB[ModelRoza.TriangleCount] = bad[1];
        ModelRoza.TriangleC[ModelRoza.TriangleCount++] = bad[2];
    }
    DrawLoadedRoza(1.0, 1.0, 1.0);
    EXPECT_EQ(CountOther(Black), oneTriangle) << "only the valid triangle drew";
    // A count beyond the arrays' capacity stops at their end.
    ModelRoza.TriangleCount = INT32_MAX;
    DrawLoadedRoza(1.0, 1.0, 1.0);
    EXPECT_EQ(CountOther(Black), oneTriangle);
}

// A model file may name vertices past those it gives, up to the arrays' last entry: those entries
// are zero, so the corner sits at the origin and the triangle draws.
TEST_P(ModelMeshes, CornersPastTheVerticesReadSitAtTheOrigin)
{
    for (const std::int32_t past : {2, 3, MaxModelItems - 1}) {
        // Two vertices on the right; the third corner is the origin, so the triangle points left to it.
        SetModel(ModelRoza, {{0.6, 0.6}, {0.6, -0.6}}, {{0, 1, past}});
        MarkScreen();
        DrawLoadedRoza(1.0, 1.0, 1.0);
        EXPECT_FALSE(Near(ReadPixel(ColumnOf(0.4), RowOf(0.0)), Black)) << "corner " << past;
        EXPECT_FALSE(Near(ReadPixel(ColumnOf(0.1), RowOf(0.0)), Black)) << "corner " << past;
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.1), RowOf(0.0)), Black)) << "corner " << past << " is not at the origin";
        EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.1), RowOf(0.3)), Black)) << "corner " << past << " is not at the origin";
    }
}

TEST_P(ModelMeshes, TrianglesDrawWithTheCallersTransformColourAndBlending)
{
    static PointModel starfish;
    SetModel(starfish, {{0.0, 0.0}, {0.4, 0.0}, {0.0, 0.4}}, {{0, 1, 2}});
    Textures.Tlo3 = MakeSolidTexture(Texel(255, 255, 255, 255));
    glClear(GL_COLOR_BUFFER_BIT);
    glTranslatef(-0.5f, 0.0f, -2.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.Tlo3);
    glColor3f(0.5f, 0.5f, 0.5f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawModelTriangles(starfish);
    DrawModelTriangles(starfish);
    // Drawn twice additively at half grey: full white, where the caller put it.
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(-0.4), RowOf(0.1)), {255, 255, 255}));
    EXPECT_TRUE(Near(ReadPixel(ColumnOf(0.1), RowOf(0.1)), Black, 0));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ModelMeshes, testing::Values(MeshPath::Arrays, MeshPath::Immediate),
                         [](const testing::TestParamInfo<MeshPath>& info) {
                             return info.param == MeshPath::Arrays ? "Arrays" : "Immediate";
                         });

}  // namespace

// Start-up on real Mesa: the render state every scene starts from, the tables, the first loading, and a bad model.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "effects/cube_star.h"
#include "platform/headless.h"
#include "shell/init_scene.h"
#include "shell/master.h"
#include "shell/window.h"
#include "tests/support/catalogue_files.h"
#include "tests/support/startup_fixtures.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"
#include "timeline/draw_frame.h"
#include "timeline/logo_overlay.h"

namespace {

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const CatalogueEntry& entry : FirstBatch)
            WriteSolidPicture("data/" + std::string(entry.File), Rgb{200, 100, 50});
        WriteTextFile("data/rozgwiazda.txt", TriangleModelText());
        WriteTextFile("data/roza.txt", "1\r\n0.5\r\n-0.5\r\n2e-1\r\n0\r\n0\r\n0\r\n");
        HeadlessClearMessageLog();
    }
    void TearDown() override
    {
        HeadlessDestroyContext();
        HeadlessSetScale(1);
    }

    // What the window creation does around InitScene: a full-window ResizeScene first.
    void StartScene(int scale)
    {
        HeadlessSetScale(scale);
        ASSERT_TRUE(HeadlessCreateContext(640, 480));
        ResizeScene(640 * scale, 480 * scale);
        Clock.Loading = LoadState::Running;
        for (const CatalogueEntry& entry : FirstBatch)
            *entry.Slot = 0;
        InitScene();
    }

    ScratchWorkDir WorkDir;
};

GLint Integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void ExpectViewport(int x, int y, int width, int height)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{x, y, width, height}));
}

}  // namespace

TEST_F(StartUp, LeavesTheRenderStateTheFirstSceneStartsFrom)
{
    StartScene(1);
    ExpectViewport(0, 50, 630, 360);
    // The perspective of 45 degrees, 4:3, near 0.1 and far 100, taken apart again.
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const double focal = 1.0 / std::tan(M_PI / 8);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[0], focal * 3.0 / 4.0, 1e-5);
    EXPECT_NEAR(projection[14] / (projection[10] - 1.0), 0.1, 1e-5);
    EXPECT_NEAR(projection[14] / (projection[10] + 1.0), 100.0, 0.05);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    GLfloat modelView[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(modelView[i], i % 5 == 0 ? 1.0f : 0.0f) << i;

    for (const GLenum on : {GL_ALPHA_TEST, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_NORMALIZE})
        EXPECT_TRUE(glIsEnabled(on)) << on;
    for (const GLenum off : {GL_BLEND, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T})
        EXPECT_FALSE(glIsEnabled(off)) << off;
    const std::pair<GLenum, GLint> values[] = {{GL_ALPHA_TEST_FUNC, GL_GREATER},
                                               {GL_DEPTH_FUNC, GL_LESS},
                                               {GL_BLEND_SRC, GL_SRC_ALPHA},
                                               {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
                                               {GL_SHADE_MODEL, GL_SMOOTH}};
    for (const auto& [name, expected] : values)
        EXPECT_EQ(Integer(name), expected) << name;
    GLfloat alphaRef = 0, depthClear = 0, colour[4] = {}, clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
    EXPECT_FLOAT_EQ(alphaRef, 0.4f);
    EXPECT_EQ(depthClear, 1.0f);
    for (const GLenum coordinate : {GL_S, GL_T}) {
        GLint mode = 0;
        glGetTexGeniv(coordinate, GL_TEXTURE_GEN_MODE, &mode);
        EXPECT_EQ(mode, GL_SPHERE_MAP);
    }
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StartUp, FillsTheTablesAndLoadsTheFirstBatchAndBothModels)
{
    StartScene(1);
    EXPECT_EQ(Clock.Loading, LoadState::SecondBatchPending);
    EXPECT_TRUE(glIsList(CubeList));
    EXPECT_NE(Textures.Tlo3, 0u);
    EXPECT_NE(Textures.Ende, 0u);
    EXPECT_TRUE(HeadlessMessageLog().empty());
    EXPECT_EQ(ModelRozgwiazda.VertexCount, 3);
    EXPECT_EQ(ModelRozgwiazda.TriangleC[0], 2);
    EXPECT_EQ(ModelRoza.VertexZ[0], 0.2);

    // One colour wave, each channel a third of a turn behind the last.
    EXPECT_EQ(LogoCycleColour(0).Red, 0.1f);
    EXPECT_EQ(LogoCycleColour(4).Red, 0.3f);
    EXPECT_EQ(LogoCycleColour(12).Red, -0.1f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(LogoCycleColour(i).Green, LogoCycleColour((i + 5) % 16).Red) << i;
        EXPECT_FLOAT_EQ(LogoCycleColour(i).Blue, LogoCycleColour((i + 10) % 16).Red) << i;
    }
    // The scenes start a run afresh, whatever the frames of an earlier one left behind: the
    // averaged angle, the wobbling picture's phases, the tubes' rings.
    for (const std::int32_t t : {5000, 33000, 60000})
        DrawFrame(t);
    ASSERT_NE(CurrentSceneState().PrevDemoTime, 0);
    InitScene();
    const SceneState& scenes = CurrentSceneState();
    EXPECT_EQ(scenes.PrevDemoTime, 0);
    for (const double phase : scenes.Wobble.Phase)
        EXPECT_EQ(phase, 0.0);
    for (const TubeRings* rings : {&scenes.Rings.Previous, &scenes.Rings.Current}) {
        for (int i = 0; i < RingCount; ++i) {
            EXPECT_EQ(rings->TexOffset[i], 0.0f) << i;
            EXPECT_EQ(rings->Radius[i], 1.0f) << i;
            EXPECT_EQ(rings->Shift[i], 0.0f) << i;
        }
    }
}

TEST_F(StartUp, ALargerCaptureScalesOnlyTheViewport)
{
    StartScene(3);
    ExpectViewport(0, 150, 1890, 1080);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[14] / (projection[10] - 1.0), 0.1, 1e-5);
}

TEST_F(StartUp, AMissingFirstBatchPictureIsReportedAndStartUpGoesOn)
{
    std::remove("data/gfx.tga");
    StartScene(1);
    EXPECT_EQ(HeadlessMessageLog().size(), 1u);
    EXPECT_EQ(Textures.Gfx, 0u);
    EXPECT_NE(Textures.Yast, 0u);
    EXPECT_EQ(ModelRoza.VertexCount, 1);
}

// The run must end with the reader's message and a failure code, never draw from a broken mesh.
TEST_F(StartUp, ABadModelFileEndsTheRunWithItsMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WriteTextFile("data/roza.txt", TriangleModelText() + "\r\n");
    EXPECT_EXIT(StartScene(1), ::testing::ExitedWithCode(1),
                "Model File Error: data.roza\\.txt, line 14: the line is empty");
    WriteTextFile("data/roza.txt", TriangleModelText());
    std::remove("data/rozgwiazda.txt");
    EXPECT_EXIT(StartScene(1), ::testing::ExitedWithCode(1), "Model File Error: data.rozgwiazda\\.txt cannot be read");
}

// The timeline's frames and scenes on real Mesa: what they draw and the state they hand on.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "effects/mesh_path.h"
#include "effects/model_meshes.h"
#include "effects/wide_angle_cube.h"
#include "platform/headless.h"
#include "shell/init_scene.h"
#include "shell/master.h"
#include "tests/support/effects_gl_support.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"
#include "timeline/draw_frame.h"
#include "timeline/logo_overlay.h"
#include "timeline/schedule.h"
#include "timeline/spinning_box.h"
#include "timeline/twin_tubes.h"
#include "timeline/wobble_picture.h"

// The middle of the letter-box band the production draws in.
constexpr int BandCentreX = 315;
constexpr int BandCentreY = 230;

using Pixels = std::vector<Rgb>;

const Rgb& PixelAt(const Pixels& pixels, int x, int y)
{
    return pixels[y * ScreenWidth + x];
}

// Largest difference of a colour channel inside the band, over the columns [x0, x1).
static int MaxDifference(const Pixels& a, const Pixels& b, int x0 = 0, int x1 = 630)
{
    int most = 0;
    for (int y = 50; y < 410; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb &p = PixelAt(a, x, y), &q = PixelAt(b, x, y);
            most = std::max({most, std::abs(p.Red - q.Red), std::abs(p.Green - q.Green), std::abs(p.Blue - q.Blue)});
        }
    }
    return most;
}

static bool operator==(const Rgb& a, const Rgb& b)
{
    return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
}

static void SetProjection(double fieldOfView, double aspect, double nearPlane)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The first row of the schedule that does this.
static const ScheduleRow& FirstRowOf(ScheduleAction action)
{
    return *std::find_if(std::begin(Schedule), std::end(Schedule),
                         [action](const ScheduleRow& row) { return row.Action == action; });
}

class TimelineScenes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ApplyStartupState();
        WhiteTexture = MakeSolidTexture(Texel(255, 255, 255, 255));
        BlackTexture = MakeSolidTexture(Texel(0, 0, 0, 255));
        ClearTexture = MakeSolidTexture(0);
        // Left half red, right half blue: shows which way round a picture lands on the screen.
        Halves = MakeTexture(2, 1, {Texel(255, 0, 0, 255), Texel(0, 0, 255, 255)});
        // Four colours in four quadrants: shows how a face is turned.
        Quadrants = MakeTexture(
            2, 2, {Texel(255, 0, 0, 255), Texel(0, 255, 0, 255), Texel(0, 0, 255, 255), Texel(255, 255, 0, 255)});
    }

    // The state the start-up leaves, with the production's slots pointing at test pictures.
    void SetUp() override
    {
        ApplyStartupState();
        glDisable(GL_DEPTH_TEST);

        for (GLuint* slot : {&Textures.Tlo3, &Textures.Kreski, &Textures.Czarna, &Textures.Obrotnik, &Textures.Hdr,
                             &Textures.Logo, &Textures.Ende, &Textures.Mk})
            *slot = WhiteTexture;
        Textures.TloAch = BlackTexture;
        Textures.Bakba = BlackTexture;
        Textures.Maska = ClearTexture;
        Textures.Babka = Halves;
        Clock.Loading = LoadState::Running;
        Clock.DemoTime = 0;
        ResetSceneState();
    }

    // The scenes' state these tests hand to the scenes, as the frame function does.
    SceneState Scenes;

    static inline GLuint WhiteTexture, BlackTexture, ClearTexture, Halves, Quadrants;
};

TEST_F(TimelineScenes, FramesWithNoRowActiveOrTheClockStoppedNeitherDrawNorClear)
{
    MarkScreen();
    const Pixels marked = ReadScreen();
    for (std::int32_t t : {0, 18000, 121050}) {
        Clock.DemoTime = t;
        DrawLoadingOrScene();
        EXPECT_TRUE(ReadScreen() == marked) << t;
    }
    Clock.Loading = LoadState::Loaded;
    Clock.DemoTime = 5000;
    DrawLoadingOrScene();
    EXPECT_TRUE(ReadScreen() == marked);

    // And the same mark is overdrawn once a row is active, so the checks above can fail.
    Clock.Loading = LoadState::Running;
    DrawLoadingOrScene();
    EXPECT_GT(MaxDifference(ReadScreen(), marked), 100);

    // The loading frame loads the second batch, restarts the clock and draws nothing.
    MarkScreen();
    Clock.Loading = LoadState::SecondBatchPending;
    DrawLoadingOrScene();
    EXPECT_EQ(Clock.Loading, LoadState::Loaded);
    EXPECT_EQ(Clock.DemoTime, 0);
    EXPECT_TRUE(ReadScreen() == marked);
    HeadlessClearMessageLog();
}

TEST_F(TimelineScenes, LogoPassesTintAndLeaveAlphaBlendingOff)
{
    SetProjection(165.0, 4.0 / 3.0, 0.001);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // The pass 2 colour steps through all 16 entries, one per 100 ms.
    std::set<int> seen;
    for (std::int32_t t = 15050; t < 16650; t += 100)
        seen.insert(LogoCycleIndex(t));
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 15);

    DrawLogoOverlay(1, 15750);
    DrawLogoOverlay(2, 15750);
    // Entry 13 at 15.75 s; the library clamps its negative red to 0.
    const CycleColour colour = LogoCycleColour(LogoCycleIndex(15750));
    const auto channel = [](float c) { return std::clamp(int(std::lround(255 * c)), 0, 255); };
    const Rgb tinted = {channel(colour.Red), channel(colour.Green), channel(colour.Blue)};
    EXPECT_TRUE(Near(ReadPixel(BandCentreX, BandCentreY), tinted));
    // Magenta asked for as (2, 0, 4) comes out clamped.
    DrawLogoOverlay(3, 15750);
    EXPECT_TRUE(Near(ReadPixel(BandCentreX, BandCentreY), {255, 0, 255}, 0));

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_FLAT);
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

// The box as it should stand after turning by the given angles.
static Pixels DrawReferenceBox(float aboutX, float aboutY)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glRotatef(aboutX, 1.0f, 0.0f, 0.0f);
    glRotatef(aboutY, 0.0f, 1.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, Textures.Kreski);
    DrawUnitCubeFaces();
    return ReadScreen();
}

TEST_F(TimelineScenes, BoxAngleAveragesTheLastTwoTimes)
{
    SetProjection(165.0, 4.0 / 3.0, 0.001);
    Textures.Kreski = Quadrants;
    const ScheduleRow& box = FirstRowOf(ScheduleAction::SpinningBox);
    Scenes.PrevDemoTime = 19960;
    PerformRow(box, 19980, Scenes);
    PerformRow(box, 20000, Scenes);
    const Pixels averaged = ReadScreen();
    EXPECT_EQ(Scenes.PrevDemoTime, 20000);

    // What it hands to the cube star.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);

    // (19980 + 20000) / 8 = 4997.5: 2498.75 degrees about X, then a third of it about Y.
    EXPECT_LE(MaxDifference(averaged, DrawReferenceBox(2498.75f, static_cast<float>(4997.5 / 3.0))), 1);
    // The same time twice: T / 4 exactly.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    PerformRow(box, 20000, Scenes);
    const Pixels steady = ReadScreen();
    EXPECT_GT(MaxDifference(steady, averaged), 100);
    EXPECT_LE(MaxDifference(steady, DrawReferenceBox(2500.0f, static_cast<float>(5000.0 / 3.0))), 1);
}

TEST_F(TimelineScenes, WobblePictureSetsTheLateProjectionFillsTheViewMirroredAndStepsPerFrame)
{
    // As a window resize would leave it: the window's aspect, near 1.
    SetProjection(45.0, 16.0 / 9.0, 1.0);
    DrawWobblePicture(Scenes.Wobble);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double focal = 1.0 / std::tan(M_PI / 8);
    EXPECT_NEAR(projection[0], focal * 3.0 / 4.0, 1e-5);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[10], -101.0 / 99.0, 1e-5);
    EXPECT_NEAR(projection[14], -200.0 / 99.0, 1e-5);
    EXPECT_EQ(GetInteger(GL_MATRIX_MODE), GL_MODELVIEW);

    // Mirrored: the texture's right half (blue) shows on the left; the wobble moves the seam a little.
    const Pixels screen = ReadScreen();
    for (int y = 52; y < 408; y += 16) {
        for (int x = 2; x < 628; x += 16) {
            if (std::abs(x - BandCentreX) < 40)
                continue;
            const Rgb expected = x < BandCentreX ? Rgb{0, 0, 255} : Rgb{255, 0, 0};
            EXPECT_TRUE(Near(PixelAt(screen, x, y), expected, 0)) << x << "," << y;
        }
    }
    EXPECT_EQ(PixelAt(screen, 320, 20).Blue, 0) << "outside the band nothing but the clear";
    EXPECT_EQ(PixelAt(screen, 320, 450).Blue, 0);

    // The phases advance once per drawn frame, whatever the time; other scenes leave them alone.
    const double first[8] = {0.1, 0.05, 0.1, 0.07, 0.2, 0.1, 0.1, 0.1};
    for (int i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(Scenes.Wobble.Phase[i], first[i]);
    for (int frame = 2; frame <= 25; ++frame)
        RunSchedule(40000 + (frame % 3), Scenes);
    for (std::int32_t other : {49000, 44000})
        RunSchedule(other, Scenes);
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(Scenes.Wobble.Phase[i], 25 * first[i], 1e-9);
}

TEST_F(TimelineScenes, RingsAtT55800AndTheTopRingStill)
{
    SetProjection(45.0, 4.0 / 3.0, 1.0);
    DrawTwinTubes(Scenes.Rings, 55800);
    const Pixels firstFrame = ReadScreen();
    const TubeRings& rings = Scenes.Rings.Previous;  // this frame's rings, handed on to the next
    EXPECT_NEAR(rings.TexOffset[0], -0.05059, 1e-4);
    EXPECT_NEAR(rings.Radius[0], 0.81621, 1e-4);
    EXPECT_NEAR(rings.Shift[0], -0.15497, 1e-4);
    EXPECT_EQ(rings.TexOffset[64], 0.0f);
    EXPECT_EQ(rings.Radius[64], 1.0f);
    EXPECT_EQ(rings.Shift[64], 0.0f);

    // The right tube lags one frame behind: at the same time again only it changes.
    DrawTwinTubes(Scenes.Rings, 55800);
    const Pixels secondFrame = ReadScreen();
    EXPECT_EQ(MaxDifference(firstFrame, secondFrame, 0, BandCentreX), 0);
    EXPECT_GT(MaxDifference(firstFrame, secondFrame, BandCentreX, 630), 100);
}

// A picture of many colours, filtered linearly: a corner's texture coordinate off by any amount
// shows in the pixels.
static GLuint MakeBusyTexture()
{
    std::vector<std::uint32_t> texels;
    for (int i = 0; i < 16 * 16; ++i)
        texels.push_back(Texel((i * 37) % 256, (i * 91) % 256, (i * 13) % 256, 128 + i % 128));
    const GLuint texture = MakeTexture(16, 16, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

// A starfish of overlapping blended triangles around the centre, with a few the drawing skips.
static void MakeStarfish(PointModel& model)
{
    model.VertexCount = model.TriangleCount = 0;
    for (int k = 0; k < 120; ++k) {
        const double angle = k * 0.37;
        const double reach = 0.2 + 0.5 * std::abs(std::sin(k * 0.61));
        model.VertexX[model.VertexCount] = reach * std::cos(angle);
        model.VertexY[model.VertexCount] = reach * std::sin(angle);
        model.VertexZ[model.VertexCount++] = 0.1 * std::sin(k * 1.3);
    }
    for (int k = 0; k + 2 < 120; ++k) {
        model.TriangleA[model.TriangleCount] = k;
        model.TriangleB[model.TriangleCount] = k % 7 == 3 ? -1 : k + 1;
        model.TriangleC[model.TriangleCount++] = k % 11 == 5 ? 119 + k : k + 2;  // past the vertices: the origin
    }
}

// The vertex arrays must draw what one call per corner drew, pixel for pixel: tubes, backdrop and
// the starfish twice, over frames whose rings hand on from one to the next.
TEST_F(TimelineScenes, TubesAndStarfishAreTheSameOnBothMeshPaths)
{
    static PointModel starfish;
    MakeStarfish(starfish);
    std::swap(starfish, ModelRozgwiazda);
    BuildModelMeshes();
    const GLuint busy = MakeBusyTexture();
    Textures.Czarna = Textures.Bakba = busy;
    SetProjection(45.0, 4.0 / 3.0, 1.0);
    std::vector<Pixels> frames[2];
    for (const MeshPath path : {MeshPath::Immediate, MeshPath::Arrays}) {
        SetMeshPath(path);
        Scenes.Rings = TwinTubeRings{};
        for (const std::int32_t t : {55500, 58321, 63999}) {
            DrawTwinTubes(Scenes.Rings, t);
            frames[path == MeshPath::Arrays].push_back(ReadScreen());
        }
    }
    SetMeshPath(MeshPath::Arrays);
    std::swap(starfish, ModelRozgwiazda);
    BuildModelMeshes();
    for (std::size_t i = 0; i < frames[0].size(); ++i) {
        EXPECT_EQ(MaxDifference(frames[0][i], frames[1][i]), 0) << "frame " << i;
        EXPECT_GT(MaxDifference(frames[0][i], Pixels(frames[0][i].size())), 100) << "frame " << i << " drew nothing";
    }
}

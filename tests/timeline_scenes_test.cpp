// The timeline's frames and scenes on real Mesa: what they draw and the state they hand on.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effects/wide_angle_cube.h"
#include "platform/headless.h"
#include "shell/init_scene.h"
#include "shell/master.h"
#include "textures/catalogue.h"
#include "timeline/draw_frame.h"
#include "timeline/logo_overlay.h"
#include "timeline/spinning_box.h"
#include "timeline/twin_tubes.h"
#include "timeline/wobble_picture.h"

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;
// The middle of the letter-box band the production draws in.
constexpr int BandCentreX = 315;
constexpr int BandCentreY = 230;

using Pixels = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t R, G, B, A;
};

// A texture of width x height texels given row by row from the bottom, sampled without filtering.
static GLuint MakeTexture(int width, int height, const std::vector<Rgba>& texels)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

static GLuint MakeSolidTexture(Rgba colour)
{
    return MakeTexture(1, 1, {colour});
}

// Left half red, right half blue: shows which way round a picture lands on the screen.
static GLuint MakeHalvesTexture()
{
    const Rgba red{255, 0, 0, 255};
    const Rgba blue{0, 0, 255, 255};
    return MakeTexture(2, 1, {red, blue});
}

// Four colours in four quadrants: shows how a face is turned.
static GLuint MakeQuadrantTexture()
{
    const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, yellow{255, 255, 0, 255};
    return MakeTexture(2, 2, {red, green, blue, yellow});
}

static Pixels ReadScreen()
{
    Pixels pixels(ScreenWidth * ScreenHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

static Rgba PixelAt(const Pixels& pixels, int x, int y)
{
    const std::uint8_t* p = &pixels[(y * ScreenWidth + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// Largest difference of a colour channel inside the band, over the columns [x0, x1).
static int MaxDifference(const Pixels& a, const Pixels& b, int x0 = 0, int x1 = 630)
{
    int most = 0;
    for (int y = 50; y < 410; ++y) {
        for (int x = x0; x < x1; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = (y * ScreenWidth + x) * 4 + c;
                most = std::max(most, std::abs(int(a[i]) - int(b[i])));
            }
        }
    }
    return most;
}

static void FillScreen(float red, float green, float blue)
{
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

static void SetProjection(double fieldOfView, double nearPlane)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, 4.0 / 3.0, nearPlane, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

static GLint GetInteger(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

class TimelineScenes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(HeadlessCreateContext(ScreenWidth, ScreenHeight));
        White = MakeSolidTexture({255, 255, 255, 255});
        Black = MakeSolidTexture({0, 0, 0, 255});
        Clear = MakeSolidTexture({0, 0, 0, 0});
        Halves = MakeHalvesTexture();
        Quadrants = MakeQuadrantTexture();
    }

    static void TearDownTestSuite() { HeadlessDestroyContext(); }

    // The state the start-up leaves, with the production's slots pointing at test pictures.
    void SetUp() override
    {
        glViewport(0, 50, 630, 360);
        SetProjection(45.0, 0.1);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.4f);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        FillScreen(0.0f, 0.0f, 0.0f);

        for (GLuint* slot : {&TexTlo3, &TexKreski, &TexCzarna, &TexObrotnik, &TexHdr, &TexLogo, &TexEnde, &TexMk})
            *slot = White;
        TexTloAch = Black;
        TexBakba = Black;
        TexMaska = Clear;
        TexBabka = Halves;
        LoadState = 2;
        DemoTime = 0;
        PrevDemoTime = 0;
        ResetTimelineState();
    }

    static inline GLuint White, Black, Clear, Halves, Quadrants;
};

TEST_F(TimelineScenes, FrameWithNoRowActiveNeitherDrawsNorClears)
{
    FillScreen(0.2f, 0.4f, 0.6f);
    const Pixels marked = ReadScreen();
    for (std::int32_t t : {0, 100, 900, 18000, 32000, 44750, 49500, 69000, 90000, 121050, 121100}) {
        SCOPED_TRACE(t);
        DemoTime = t;
        DrawFrame();
        EXPECT_TRUE(ReadScreen() == marked);
    }

    // The clock not yet started: nothing either.
    LoadState = 1;
    DemoTime = 5000;
    DrawFrame();
    EXPECT_TRUE(ReadScreen() == marked);

    // And the same mark is overdrawn once a row is active, so the checks above can fail.
    LoadState = 2;
    DrawFrame();
    EXPECT_GT(MaxDifference(ReadScreen(), marked), 100);
}

TEST_F(TimelineScenes, LoadingFrameLoadsTheSecondBatchAndDrawsNothing)
{
    FillScreen(0.2f, 0.4f, 0.6f);
    const Pixels marked = ReadScreen();
    LoadState = 0;
    DemoTime = 5000;
    DrawFrame();
    EXPECT_EQ(LoadState, 1);
    EXPECT_EQ(DemoTime, 0);
    EXPECT_TRUE(ReadScreen() == marked);
    HeadlessClearMessageLog();
}

TEST_F(TimelineScenes, LogoPassesTintAndLeaveAlphaBlendingOff)
{
    SetProjection(165.0, 0.001);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    for (int n = 0; n < 16; ++n) {
        CycleRed[n] = n / 16.0f;
        CycleGreen[n] = 0.5f;
        CycleBlue[n] = 1.0f - n / 16.0f;
    }

    // The pass 2 colour steps through all 16 entries, one per 100 ms.
    std::vector<int> seen;
    for (std::int32_t t = 15000; t < 16600; t += 100)
        seen.push_back(LogoCycleIndex(t + 50));
    std::sort(seen.begin(), seen.end());
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(seen[n], n);

    DemoTime = 15750;
    DrawLogoOverlay(1);
    DrawLogoOverlay(2);
    const int n = LogoCycleIndex(DemoTime);
    Rgba centre = PixelAt(ReadScreen(), BandCentreX, BandCentreY);
    EXPECT_NEAR(centre.R, 255 * CycleRed[n], 2);
    EXPECT_NEAR(centre.G, 128, 2);
    EXPECT_NEAR(centre.B, 255 * CycleBlue[n], 2);

    // Magenta asked for as (2, 0, 4) comes out clamped.
    DrawLogoOverlay(3);
    centre = PixelAt(ReadScreen(), BandCentreX, BandCentreY);
    EXPECT_EQ(centre.R, 255);
    EXPECT_EQ(centre.G, 0);
    EXPECT_EQ(centre.B, 255);

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_FLAT);
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
}

// The box as it should stand after turning by the given angles.
static Pixels DrawReferenceBox(float aboutX, float aboutY)
{
    FillScreen(0.0f, 0.0f, 0.0f);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -6.0f);
    glTranslatef(0.0f, 0.0f, 5.0f);
    glRotatef(aboutX, 1.0f, 0.0f, 0.0f);
    glRotatef(aboutY, 0.0f, 1.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, TexKreski);
    DrawUnitCubeFaces();
    return ReadScreen();
}

TEST_F(TimelineScenes, BoxAngleAveragesTheLastTwoTimes)
{
    SetProjection(165.0, 0.001);
    TexKreski = Quadrants;

    PrevDemoTime = 19960;
    DemoTime = 19980;
    DrawSpinningBox();
    DemoTime = 20000;
    DrawSpinningBox();
    const Pixels averaged = ReadScreen();
    EXPECT_EQ(PrevDemoTime, 20000);

    // What it hands to the cube star.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(GetInteger(GL_BLEND_DST), GL_ONE);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(GetInteger(GL_SHADE_MODEL), GL_SMOOTH);

    // (19980 + 20000) / 8 = 4997.5: 2498.75 degrees about X, then a third of it about Y.
    const Pixels expected = DrawReferenceBox(2498.75f, static_cast<float>(4997.5 / 3.0));
    EXPECT_LE(MaxDifference(averaged, expected), 1);

    // The same time twice: T / 4 exactly.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawSpinningBox();
    const Pixels steady = ReadScreen();
    EXPECT_GT(MaxDifference(steady, averaged), 100);
    EXPECT_LE(MaxDifference(steady, DrawReferenceBox(2500.0f, static_cast<float>(5000.0 / 3.0))), 1);
}

TEST_F(TimelineScenes, WobblePictureSetsTheLateProjectionAndFillsTheView)
{
    // As a window resize would leave it: the window's aspect, near 1.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 16.0 / 9.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);

    DemoTime = 33100;
    DrawWobblePicture();
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double focal = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], focal * 3.0 / 4.0, 1e-5);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[10], -101.0 / 99.0, 1e-5);
    EXPECT_NEAR(projection[14], -200.0 / 99.0, 1e-5);
    EXPECT_EQ(GetInteger(GL_MATRIX_MODE), GL_MODELVIEW);

    // Mirrored: the texture's right half (blue) shows on the left of the screen.
    const Pixels screen = ReadScreen();
    for (int y = 52; y < 408; y += 8) {
        for (int x = 2; x < 628; x += 8) {
            const Rgba p = PixelAt(screen, x, y);
            const bool leftOfCentre = x < BandCentreX;
            if (std::abs(x - BandCentreX) < 40)
                continue;  // the wobble moves the seam a little
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(p.R, leftOfCentre ? 0 : 255);
            EXPECT_EQ(p.B, leftOfCentre ? 255 : 0);
        }
    }
    // Outside the band nothing but the clear.
    EXPECT_EQ(PixelAt(screen, 320, 20).B, 0);
    EXPECT_EQ(PixelAt(screen, 320, 450).B, 0);
}

TEST_F(TimelineScenes, WobblePhasesAdvanceOncePerDrawnFrame)
{
    DemoTime = 40000;
    DrawWobblePicture();
    const double first[8] = {0.1, 0.05, 0.1, 0.07, 0.2, 0.1, 0.1, 0.1};
    for (int i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(WobblePhase[i], first[i]);

    // The time does not matter, only the number of frames drawn.
    for (int frame = 2; frame <= 25; ++frame) {
        DemoTime = 40000 + (frame % 3);
        DrawWobblePicture();
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(WobblePhase[i], 25 * first[i], 1e-9);

    // Frames of other scenes leave them alone.
    DemoTime = 49000;
    DrawFrame();
    DemoTime = 44000;
    DrawFrame();
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(WobblePhase[i], 25 * first[i], 1e-9);
}

TEST_F(TimelineScenes, RingsAtT55800AndTheTopRingStill)
{
    SetProjection(45.0, 1.0);
    for (int r = 0; r < RingCount; ++r) {
        RingTexOffset[r] = 0.0f;
        RingRadius[r] = 1.0f;
        RingShift[r] = 0.0f;
    }
    DemoTime = 55800;
    DrawTwinTubes();
    const Pixels firstFrame = ReadScreen();

    EXPECT_NEAR(RingTexOffset[0], -0.05059, 1e-4);
    EXPECT_NEAR(RingRadius[0], 0.81621, 1e-4);
    EXPECT_NEAR(RingShift[0], -0.15497, 1e-4);
    EXPECT_EQ(RingTexOffset[64], 0.0f);
    EXPECT_EQ(RingRadius[64], 1.0f);
    EXPECT_EQ(RingShift[64], 0.0f);
    for (int r = 0; r < RippledRingCount; ++r) {
        SCOPED_TRACE(r);
        EXPECT_LE(std::abs(RingTexOffset[r]), 0.6f);
        EXPECT_GE(RingRadius[r], 0.45f);
        EXPECT_LE(RingRadius[r], 1.15f);
        EXPECT_LE(std::abs(RingShift[r]), 0.45f);
    }

    // The right tube lags one frame behind: at the same time again only it changes.
    DrawTwinTubes();
    const Pixels secondFrame = ReadScreen();
    EXPECT_EQ(MaxDifference(firstFrame, secondFrame, 0, BandCentreX), 0);
    EXPECT_GT(MaxDifference(firstFrame, secondFrame, BandCentreX, 630), 100);
}

// Two rippling ring tubes over the bakba.jpg background, with the starfish turning in front (55.5 s to 69 s).
#include "timeline/twin_tubes.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

#include "effects/model_meshes.h"
#include "effects/unit_quads.h"
#include "shell/init_scene.h"
#include "shell/master.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"

float RingShift[RingCount] = {};

constexpr int RingSegments = 16;
constexpr double TubeHeight = 5.5;
constexpr double TubeRadius = 0.7;
constexpr double TexWrapsAround = 4.0;  // the texture goes 4 times around a tube
constexpr float TubeSideX = 3.8f;
constexpr float TubeDepth = -6.6f;

static float TubePhase(std::int32_t t)
{
    return static_cast<float>(t / 300.0);
}

void RippleRings(std::int32_t t)
{
    const double p = TubePhase(t);
    for (int k = 0; k < RippledRingCount; ++k) {
        RingTexOffset[k] = static_cast<float>(0.25 * std::sin(0.78 * p + k / 12.0) + 0.35 * std::sin(-1.23 * p + k / 18.0));
        RingRadius[k] = static_cast<float>(0.8 + 0.2 * std::sin(k / 8.0 + p) + 0.15 * std::sin(-0.8 * p + k / 3.0));
        RingShift[k] = static_cast<float>(0.15 * std::sin(1.23 * p + k / 5.0) + 0.3 * std::sin(0.9 * p + k / 6.0));
    }
}

static void SendRingCorner(int ring, int segment)
{
    const double angle = 2.0 * std::numbers::pi * segment / RingSegments;
    const double y = TubeHeight * ring / (RingCount - 1);
    const double radius = TubeRadius * RingRadius[ring];
    glTexCoord2d(segment / TexWrapsAround + RingTexOffset[ring], y);
    glVertex3d(RingShift[ring] + radius * std::cos(angle), y, radius * std::sin(angle));
}

// Strip by strip from the bottom: with no depth test the upper strips cover the lower ones.
static void DrawTube()
{
    glBegin(GL_QUADS);
    for (int i = 0; i < RingCount - 1; ++i) {
        for (int j = 0; j < RingSegments; ++j) {
            SendRingCorner(i, j);
            SendRingCorner(i + 1, j);
            SendRingCorner(i + 1, j + 1);
            SendRingCorner(i, j + 1);
        }
    }
    glEnd();
}

static void PlaceTube(float x)
{
    glBindTexture(GL_TEXTURE_2D, TexCzarna);
    glTranslatef(x, 0.0f, TubeDepth);
    glTranslatef(0.0f, static_cast<float>(-TubeHeight / 2.0), 0.0f);
}

// Mirrored left to right, at 2.13 in front of the eye: it fills the 45-degree view.
static void DrawBackground()
{
    glTranslatef(0.0f, 0.0f, -1.13f);
    glScalef(1.2f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, TexBakba);
    DrawUnitBackQuad();
}

// The second pass was also asked to turn about a null axis, which means nothing; it gets no
// further turn at all, on every driver alike.
static void DrawStarfish(double degrees)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    glRotatef(static_cast<float>(degrees), 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, TexBakba);
    glEnable(GL_BLEND);
    DrawModelTriangles(ModelRozgwiazda);
    glDisable(GL_BLEND);
}

void DrawTwinTubes()
{
    const std::int32_t t = DemoTime;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();

    // The right tube shows the rings as the previous frame left them, the left one this frame's.
    glLoadIdentity();
    PlaceTube(TubeSideX);
    DrawTube();
    RippleRings(t);
    glLoadIdentity();
    PlaceTube(-TubeSideX);
    DrawTube();

    const double turn = 20.0 * t / 300.0;
    DrawStarfish(turn);
    DrawStarfish(-turn);
}

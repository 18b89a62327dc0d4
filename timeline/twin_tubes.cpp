// Two rippling ring tubes over the bakba.jpg background, with the starfish turning in front (55.5 s to 69 s).
#include "timeline/twin_tubes.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

#include "effects/model_meshes.h"
#include "effects/unit_quads.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"

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

TubeRings RestingRings()
{
    TubeRings rings;
    for (int k = 0; k < RingCount; ++k) {
        rings.TexOffset[k] = 0.0f;
        rings.Radius[k] = 1.0f;
        rings.Shift[k] = 0.0f;
    }
    return rings;
}

TubeRings RippledRings(std::int32_t t)
{
    TubeRings rings = RestingRings();
    const double p = TubePhase(t);
    for (int k = 0; k < RippledRingCount; ++k) {
        rings.TexOffset[k] =
            static_cast<float>(0.25 * std::sin(0.78 * p + k / 12.0) + 0.35 * std::sin(-1.23 * p + k / 18.0));
        rings.Radius[k] = static_cast<float>(0.8 + 0.2 * std::sin(k / 8.0 + p) + 0.15 * std::sin(-0.8 * p + k / 3.0));
        rings.Shift[k] = static_cast<float>(0.15 * std::sin(1.23 * p + k / 5.0) + 0.3 * std::sin(0.9 * p + k / 6.0));
    }
    return rings;
}

static void SendRingCorner(const TubeRings& rings, int ring, int segment)
{
    const double angle = 2.0 * std::numbers::pi * segment / RingSegments;
    const double y = TubeHeight * ring / (RingCount - 1);
    const double radius = TubeRadius * rings.Radius[ring];
    glTexCoord2d(segment / TexWrapsAround + rings.TexOffset[ring], y);
    glVertex3d(rings.Shift[ring] + radius * std::cos(angle), y, radius * std::sin(angle));
}

// Strip by strip from the bottom: with no depth test the upper strips cover the lower ones.
static void DrawTube(const TubeRings& rings)
{
    glBegin(GL_QUADS);
    for (int i = 0; i < RingCount - 1; ++i) {
        for (int j = 0; j < RingSegments; ++j) {
            SendRingCorner(rings, i, j);
            SendRingCorner(rings, i + 1, j);
            SendRingCorner(rings, i + 1, j + 1);
            SendRingCorner(rings, i, j + 1);
        }
    }
    glEnd();
}

static void PlaceTube(float x)
{
    glBindTexture(GL_TEXTURE_2D, Textures.Czarna);
    glTranslatef(x, 0.0f, TubeDepth);
    glTranslatef(0.0f, static_cast<float>(-TubeHeight / 2.0), 0.0f);
}

// Mirrored left to right, at 2.13 in front of the eye: it fills the 45-degree view.
static void DrawBackground()
{
    glTranslatef(0.0f, 0.0f, -1.13f);
    glScalef(1.2f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.Bakba);
    DrawUnitBackQuad();
}

// The second pass was also asked to turn about a null axis, which means nothing; it gets no
// further turn at all, on every driver alike.
static void DrawStarfish(double degrees)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    glRotatef(static_cast<float>(degrees), 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.Bakba);
    glEnable(GL_BLEND);
    DrawModelTriangles(ModelRozgwiazda);
    glDisable(GL_BLEND);
}

void DrawTwinTubes(TwinTubeRings& rings, std::int32_t t)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();

    rings.Current = RippledRings(t);
    glLoadIdentity();
    PlaceTube(TubeSideX);
    DrawTube(rings.Previous);
    glLoadIdentity();
    PlaceTube(-TubeSideX);
    DrawTube(rings.Current);
    rings.Previous = rings.Current;

    const double turn = 20.0 * t / 300.0;
    DrawStarfish(turn);
    DrawStarfish(-turn);
}

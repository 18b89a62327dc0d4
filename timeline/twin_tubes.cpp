// Two rippling ring tubes over the bakba.jpg background, with the starfish turning in front (55.5 s to 69 s).
#include "timeline/twin_tubes.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

#include "effects/mesh_path.h"
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

// One corner of a ring: worked out in double precision, kept as the floats OpenGL would make of it.
struct TubeCorner {
    GLfloat S, T;
    GLfloat X, Y, Z;
};

static TubeCorner RingCorner(const TubeRings& rings, int ring, int segment)
{
    const double angle = 2.0 * std::numbers::pi * segment / RingSegments;
    const double y = TubeHeight * ring / (RingCount - 1);
    const double radius = TubeRadius * rings.Radius[ring];
    return {static_cast<GLfloat>(segment / TexWrapsAround + rings.TexOffset[ring]), static_cast<GLfloat>(y),
            static_cast<GLfloat>(rings.Shift[ring] + radius * std::cos(angle)), static_cast<GLfloat>(y),
            static_cast<GLfloat>(radius * std::sin(angle))};
}

// The four corners of each quad, strip by strip from the bottom, in the order they are drawn.
template <typename Visit>
static void ForEachQuadCorner(Visit visit)
{
    for (int i = 0; i < RingCount - 1; ++i) {
        for (int j = 0; j < RingSegments; ++j) {
            visit(i, j);
            visit(i + 1, j);
            visit(i + 1, j + 1);
            visit(i, j + 1);
        }
    }
}

// The first way: one call per corner, in double precision, which OpenGL takes down to floats.
static void DrawTubeImmediately(const TubeRings& rings)
{
    glBegin(GL_QUADS);
    ForEachQuadCorner([&](int ring, int segment) {
        const double angle = 2.0 * std::numbers::pi * segment / RingSegments;
        const double y = TubeHeight * ring / (RingCount - 1);
        const double radius = TubeRadius * rings.Radius[ring];
        glTexCoord2d(segment / TexWrapsAround + rings.TexOffset[ring], y);
        glVertex3d(rings.Shift[ring] + radius * std::cos(angle), y, radius * std::sin(angle));
    });
    glEnd();
}

constexpr int TubeCornerCount = (RingCount - 1) * RingSegments * 4;

// Each ring corner is worked out once and copied into every quad that shares it; the quads keep
// their own four corners, as the first way sent them, so OpenGL splits each quad the same way.
static void DrawTubeFromArrays(const TubeRings& rings)
{
    static TubeCorner ringCorners[RingCount][RingSegments + 1];
    static TubeCorner quadCorners[TubeCornerCount];
    for (int i = 0; i < RingCount; ++i)
        for (int j = 0; j <= RingSegments; ++j)
            ringCorners[i][j] = RingCorner(rings, i, j);
    int next = 0;
    ForEachQuadCorner([&](int ring, int segment) { quadCorners[next++] = ringCorners[ring][segment]; });
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TubeCorner), &quadCorners[0].S);
    glVertexPointer(3, GL_FLOAT, sizeof(TubeCorner), &quadCorners[0].X);
    glDrawArrays(GL_QUADS, 0, TubeCornerCount);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Strip by strip from the bottom: with no depth test the upper strips cover the lower ones.
static void DrawTube(const TubeRings& rings)
{
    if (CurrentMeshPath() == MeshPath::Immediate)
        DrawTubeImmediately(rings);
    else
        DrawTubeFromArrays(rings);
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
    DrawModelTriangles(ModelRozgwiazda, Meshes.Rozgwiazda);
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

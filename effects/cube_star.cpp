// The cube star: one compiled cube, drawn 115 times per frame along six recursive arms.
#include "effects/cube_star.h"

#include <cmath>

GLuint CubeList;

static constexpr float ArmStep = 2.25f;
static constexpr float ArmShrink = 0.9f;
static constexpr long double SwingAmplitude = 25.0L;

struct CubeCorner {
    GLfloat S, T;
    GLfloat X, Y, Z;
};

// Front, back, top, bottom, right, left; four corners each.
// clang-format off
static const CubeCorner CubeCorners[24] = {
    {0, 0, -1, -1, 1},  {1, 0, 1, -1, 1},   {1, 1, 1, 1, 1},    {0, 1, -1, 1, 1},
    {1, 0, -1, -1, -1}, {1, 1, -1, 1, -1},  {0, 1, 1, 1, -1},   {0, 0, 1, -1, -1},
    {0, 1, -1, 1, -1},  {0, 0, -1, 1, 1},   {1, 0, 1, 1, 1},    {1, 1, 1, 1, -1},
    {1, 1, -1, -1, -1}, {0, 1, 1, -1, -1},  {0, 0, 1, -1, 1},   {1, 0, -1, -1, 1},
    {1, 0, 1, -1, -1},  {1, 1, 1, 1, -1},   {0, 1, 1, 1, 1},    {0, 0, 1, -1, 1},
    {0, 0, -1, -1, -1}, {1, 0, -1, -1, 1},  {1, 1, -1, 1, 1},   {0, 1, -1, 1, -1},
};
// clang-format on

void BuildCubeList()
{
    CubeList = glGenLists(1);
    // Without a list name there is nothing to compile into; calling list 0 later draws nothing.
    if (CubeList == 0)
        return;
    glNewList(CubeList, GL_COMPILE);
    glBegin(GL_QUADS);
    for (const CubeCorner& corner : CubeCorners) {
        glTexCoord2f(corner.S, corner.T);
        glVertex3f(corner.X, corner.Y, corner.Z);
    }
    glEnd();
    glEndList();
}

void DrawCubeChain(std::int32_t depth, float yaw, float pitch)
{
    if (depth >= ChainLength)
        return;
    glTranslatef(ArmStep, 0.0f, 0.0f);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glCallList(CubeList);
    glScalef(ArmShrink, ArmShrink, ArmShrink);
    DrawCubeChain(depth + 1, yaw, pitch);
}

// 25 sin(t / period) and 25 cos(t / period) in degrees, in extended precision, delivered as floats.
static float SwingSin(std::int32_t t, long double period)
{
    return static_cast<float>(SwingAmplitude * std::sin(static_cast<long double>(t) / period));
}

static float SwingCos(std::int32_t t, long double period)
{
    return static_cast<float>(SwingAmplitude * std::cos(static_cast<long double>(t) / period));
}

static void DrawArm(float yaw, float pitch)
{
    glPushMatrix();
    DrawCubeChain(0, yaw, pitch);
    glPopMatrix();
}

void DrawCubeStar(std::int32_t t)
{
    glCallList(CubeList);
    glScalef(ArmShrink, ArmShrink, ArmShrink);
    // Each turn below stays on the matrix, so the arms point +X, -Z, -X, +Z, +Y, -Y in turn.
    DrawArm(SwingSin(t, 600), SwingSin(t, 800));
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    DrawArm(SwingCos(t, 500), -SwingSin(t, 800));
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    DrawArm(SwingSin(t, 500), SwingCos(t, 600));
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    DrawArm(SwingSin(t, 600), -SwingSin(t, 400));
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    DrawArm(SwingSin(t, 600), SwingCos(t, 400));
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    DrawArm(-SwingSin(t, 400), -SwingCos(t, 800));
}

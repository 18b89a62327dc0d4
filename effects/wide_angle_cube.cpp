// The opening scene: a spinning textured cube seen from inside through a 165-degree lens.
#include "effects/wide_angle_cube.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "textures/catalogue.h"

// The lens of the opening: so wide that the cube's inner faces bend around the viewer. The
// aspect is fixed, whatever the window's shape.
constexpr double WideFieldOfView = 165.0;
constexpr double WideAspect = 4.0 / 3.0;
constexpr double WideNear = 0.001;
constexpr double WideFar = 100.0;

float StepAveragedAngle(std::int32_t& previousTime, std::int32_t t)
{
    // The sum wraps as a 32-bit integer would; it cannot in a two-minute run, but it must not
    // be undefined behaviour if the clock is ever fed something odd.
    const auto sum =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(previousTime) + static_cast<std::uint32_t>(t));
    // Both halves are stored as single precision, as the animation was tuned with.
    const float half = static_cast<float>(static_cast<double>(sum) / 2.0);
    const float angle = static_cast<float>(static_cast<double>(half) / 4.0);
    previousTime = t;
    return angle;
}

// A face: its normal and four corners, each texture coordinate then position.
struct CubeFace {
    GLfloat Normal[3];
    GLfloat Corner[4][5];  // s, t, x, y, z
};

static const CubeFace InnerCubeFaces[6] = {
    {{0, 0, 1}, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},
    {{0, 0, -1}, {{1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1}}},
    {{0, 1, 0}, {{0, 1, -1, 1, -1}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, -1}}},
    {{0, -1, 0}, {{1, 1, -1, -1, -1}, {0, 1, 1, -1, -1}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},
    {{1, 0, 0}, {{1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
    {{-1, 0, 0}, {{0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}}},
};

void DrawUnitCubeFaces()
{
    glBegin(GL_QUADS);
    for (const CubeFace& face : InnerCubeFaces) {
        glNormal3fv(face.Normal);
        for (const auto& corner : face.Corner) {
            glTexCoord2f(corner[0], corner[1]);
            glVertex3f(corner[2], corner[3], corner[4]);
        }
    }
    glEnd();
}

void DrawWideAngleCube(double brightness, float angle)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // Additive over a cleared screen with no depth test: every pixel shows exactly one inner
    // face. Later scenes keep drawing under this state.
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDepthFunc(GL_LEQUAL);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(WideFieldOfView, WideAspect, WideNear, WideFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The cube's centre sits 1 unit in front of the eye, as far as its half-size: the eye is
    // always on or inside it, whatever the turn.
    glTranslatef(0.0f, 0.0f, -6.0f);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 5.0f);
    glRotatef(angle / 2.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(static_cast<double>(angle) / 3.0), 0.0f, 1.0f, 0.0f);

    const auto grey = static_cast<GLfloat>(brightness);
    glColor3f(grey, grey, grey);
    glBindTexture(GL_TEXTURE_2D, Textures.Tlo3);
    DrawUnitCubeFaces();
    glPopMatrix();
}

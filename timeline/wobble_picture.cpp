// The babka.jpg picture whose four texture corners drift on their own (32 s to 44 s).
#include "timeline/wobble_picture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "textures/catalogue.h"

// Per drawn frame, not per millisecond: the drift runs faster at a higher frame rate.
static const double WobbleStep[WobblePhaseCount] = {0.1, 0.05, 0.1, 0.07, 0.2, 0.1, 0.1, 0.1};

// The phase turned into a texture-coordinate offset: sine or cosine over a divisor.
struct WobbleWave {
    bool Cosine;
    double Divisor;
};

static const WobbleWave WobbleWaves[WobblePhaseCount] = {
    {false, 20}, {false, 20}, {false, 100}, {true, 40}, {true, 100}, {false, 40}, {false, 30}, {false, 40},
};

static double WobbleOffset(const WobblePhases& phases, int i)
{
    const double phase = phases.Phase[i];
    const double wave = WobbleWaves[i].Cosine ? std::cos(phase) : std::sin(phase);
    return wave / WobbleWaves[i].Divisor;
}

void DrawWobblePicture(WobblePhases& phases)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Fixed 4/3, not the window's: a resize during the scene is undone on the next frame.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -4.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.Babka);

    double offset[WobblePhaseCount];
    for (int i = 0; i < WobblePhaseCount; ++i) {
        phases.Phase[i] += WobbleStep[i];
        offset[i] = WobbleOffset(phases, i);
    }

    // 2.4 units wide at depth 2 reaches past the 45-degree view; s runs 1 to 0 left to right.
    glBegin(GL_QUADS);
    glTexCoord2d(offset[0], 1.0 + offset[1]);
    glVertex3f(1.2f, 1.2f, 2.0f);
    glTexCoord2d(1.0 + offset[2], 1.0 + offset[3]);
    glVertex3f(-1.2f, 1.2f, 2.0f);
    glTexCoord2d(1.0 + offset[4], offset[5]);
    glVertex3f(-1.2f, -1.2f, 2.0f);
    glTexCoord2d(offset[6], offset[7]);
    glVertex3f(1.2f, -1.2f, 2.0f);
    glEnd();
}

// The spinning kreski.jpg box seen from inside, with tlo_ach.jpg added over it (18 s to 32 s).
#include "timeline/spinning_box.h"

#include <GL/gl.h>

#include "effects/unit_quads.h"
#include "effects/wide_angle_cube.h"
#include "textures/catalogue.h"

void DrawSpinningBox(float angle)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glShadeModel(GL_SMOOTH);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLoadIdentity();

    // The centre sits 1 unit from the eye, the box's half-size, so the eye is always inside.
    glTranslatef(0.0f, 0.0f, -6.0f);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 5.0f);
    glRotatef(static_cast<float>(angle / 2.0), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(angle / 3.0), 0.0f, 1.0f, 0.0f);

    // The blend function is whatever the previous frame left: additive from this scene's
    // second frame on, the logo's alpha blend in its first.
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, Textures.Kreski);
    DrawUnitCubeFaces();
    glPopMatrix();

    glLoadIdentity();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    // At 0.13 in front of the eye, stretched sideways, the wide lens fills the screen with it.
    glTranslatef(0.0f, 0.0f, -1.13f);
    glScalef(1.5f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.TloAch);
    DrawUnitFrontQuad();
}

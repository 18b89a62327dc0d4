// The logo layers drawn over the wide-angle cube from 12 s to 18 s.
#include "timeline/logo_overlay.h"

#include <GL/gl.h>

#include "shell/init_scene.h"
#include "shell/master.h"
#include "textures/catalogue.h"
#include "effects/unit_quads.h"

// The logo quad at 1.2 units lies 0.2 in front of the eye; the mask at 1.101 lies closer
// still and so, through the wide lens, covers more of the screen than the logo does.
constexpr float LogoDepth = -1.2f;
constexpr float MaskDepth = -1.101f;
constexpr std::int32_t LogoCycleStepMs = 100;

int LogoCycleIndex(std::int32_t t)
{
    const int step = static_cast<int>((t / LogoCycleStepMs) % 16);
    return step < 0 ? step + 16 : step;
}

static void DrawLogoLayers()
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, LogoDepth);
    glEnable(GL_BLEND);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, TexLogo);
    DrawUnitFrontQuad();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, MaskDepth);
    glBindTexture(GL_TEXTURE_2D, TexMaska);
    DrawUnitFrontQuad();
    glDisable(GL_BLEND);
}

// The tinted passes leave their colour current: the next frame's cube sets its own.
static void DrawTintedLogo(float red, float green, float blue)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, LogoDepth);
    glEnable(GL_BLEND);
    glColor3f(red, green, blue);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, TexLogo);
    DrawUnitFrontQuad();
    glDisable(GL_BLEND);
}

void DrawLogoOverlay(int pass)
{
    switch (pass) {
    case 1:
        DrawLogoLayers();
        break;
    case 2: {
        const int n = LogoCycleIndex(DemoTime);
        DrawTintedLogo(CycleRed[n], CycleGreen[n], CycleBlue[n]);
        break;
    }
    case 3:
        // Beyond 0..1 on purpose: the library clamps it to (1, 0, 1).
        DrawTintedLogo(2.0f, 0.0f, 4.0f);
        break;
    default:
        break;
    }
}

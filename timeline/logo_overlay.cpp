// The logo layers drawn over the wide-angle cube from 12 s to 18 s.
#include "timeline/logo_overlay.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "effects/unit_quads.h"
#include "textures/catalogue.h"

// The logo quad at 1.2 units lies 0.2 in front of the eye; the mask at 1.101 lies closer
// still and so, through the wide lens, covers more of the screen than the logo does.
constexpr float LogoDepth = -1.2f;
constexpr float MaskDepth = -1.101f;
constexpr std::int32_t LogoCycleStepMs = 100;

static std::array<CycleColour, 16> FillColourCycle()
{
    const long double pi = std::numbers::pi_v<long double>;
    std::array<CycleColour, 16> cycle;
    for (int i = 0; i < 16; ++i) {
        cycle[i].Red = static_cast<float>(0.2L * std::sin(i * pi / 8.0L) + 0.1L);
        cycle[i].Green = static_cast<float>(0.2L * std::sin((i + 5) * pi / 8.0L) + 0.1L);
        cycle[i].Blue = static_cast<float>(0.2L * std::sin((i + 10) * pi / 8.0L) + 0.1L);
    }
    return cycle;
}

CycleColour LogoCycleColour(int n)
{
    static const std::array<CycleColour, 16> Cycle = FillColourCycle();
    return Cycle[static_cast<std::size_t>(n) % Cycle.size()];
}

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
    glBindTexture(GL_TEXTURE_2D, Textures.Logo);
    DrawUnitFrontQuad();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, MaskDepth);
    glBindTexture(GL_TEXTURE_2D, Textures.Maska);
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
    glBindTexture(GL_TEXTURE_2D, Textures.Logo);
    DrawUnitFrontQuad();
    glDisable(GL_BLEND);
}

void DrawLogoOverlay(int pass, std::int32_t t)
{
    switch (pass) {
    case 1:
        DrawLogoLayers();
        break;
    case 2: {
        const CycleColour colour = LogoCycleColour(LogoCycleIndex(t));
        DrawTintedLogo(colour.Red, colour.Green, colour.Blue);
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

// The obrotnik.tga spinner squares, their violet variant and the sliding babka.jpg backdrop.
#include "effects/spinners.h"

#include <GL/gl.h>

#include "effects/unit_quads.h"
#include "textures/catalogue.h"

// The violet of the spinner that stands alone on a cleared screen.
constexpr GLfloat TintRed = 0.7f;
constexpr GLfloat TintGreen = 0.2f;
constexpr GLfloat TintBlue = 1.0f;

// Degrees turned about the square's own normal: spin per 300 ms of demo time.
static float SpinAngle(std::int32_t t, std::int32_t spin)
{
    return static_cast<float>(spin * (static_cast<double>(t) / 300.0));
}

// The tilt turns the square's frame about (1, 1, 1) around a point 1 unit behind the square,
// 6 units in front of the eye; the spin turns the square about its own centre.
static void PlaceSpinner(std::int32_t t, std::int32_t tilt, std::int32_t spin)
{
    glTranslatef(0.0f, 0.0f, -6.0f);
    glRotatef(static_cast<float>(tilt), 1.0f, 1.0f, 1.0f);
    glRotatef(SpinAngle(t, spin), 0.0f, 0.0f, 1.0f);
}

// The blended square itself; leaves blending off and smooth shading, whatever it found.
static void SendSpinnerSquare()
{
    glEnable(GL_BLEND);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, Textures.Obrotnik);

    DrawUnitFrontQuad();

    glShadeModel(GL_SMOOTH);
    glDisable(GL_BLEND);
}

void DrawSpinner(std::int32_t t, std::int32_t tilt, std::int32_t spin)
{
    glLoadIdentity();
    PlaceSpinner(t, tilt, spin);
    SendSpinnerSquare();
}

void DrawTintedSpinner(std::int32_t t, std::int32_t tilt, std::int32_t spin)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor3f(TintRed, TintGreen, TintBlue);
    PlaceSpinner(t, tilt, spin);
    // The scene was also written to turn 90 degrees per 300 ms about the axis (0, 0, 0). A null
    // axis has no direction, so that turn is no turn at all: it is left out on purpose rather
    // than handed to the driver, whose answer to it is undefined.
    SendSpinnerSquare();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void DrawSlidingBackdrop(std::int32_t t, double offset)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // 3 x 2 units, 2.13 in front of the eye: fills the view at offset 0 and has left it at -3.
    glTranslatef(static_cast<GLfloat>(offset), 0.0f, -1.13f);
    glScalef(1.5f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.Babka);

    // The back face of a unit cube: seen from the eye the picture is mirrored left to right.
    DrawUnitBackQuad();

    DrawSpinner(t, 30, 10);
    DrawSpinner(t, -50, -8);
}

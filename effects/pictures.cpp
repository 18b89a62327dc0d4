// Flat pictures in front of the eye: credit panels, full-view pictures and their stepped fades.
#include "effects/pictures.h"

#include <GL/gl.h>

// Fades climb a ladder of tenths, one rung per 50 ms: nine rungs up, then a hold at 1.0.
constexpr double FadeLadder[10] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
constexpr int FadeSteps = 9;
constexpr std::int64_t FadeStepMs = 50;
// The fade-out starts this long before the stop time (and ends one step before it).
constexpr std::int64_t FadeOutLeadMs = 500;

// 1.67 units in front of the eye a 2.2 x 1.4 picture fills the later scenes' 45-degree view.
constexpr GLfloat PictureDistance = 1.67f;

void DrawBlendedPanel(std::uint32_t texture, double depth)
{
    glLoadIdentity();
    glEnable(GL_BLEND);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTranslatef(0.0f, 0.0f, static_cast<GLfloat>(depth));
    glBindTexture(GL_TEXTURE_2D, texture);

    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -0.7f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -0.7f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 0.7f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 0.7f, 1.0f);
    glEnd();

    // Blending stays on: later layers of the frame are drawn blended until someone turns it off.
    glShadeModel(GL_SMOOTH);
}

static void SendPictureQuad(std::uint32_t texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2i(0, 0);
    glVertex3f(-1.1f, -0.7f, 0.0f);
    glTexCoord2i(1, 0);
    glVertex3f(1.1f, -0.7f, 0.0f);
    glTexCoord2i(1, 1);
    glVertex3f(1.1f, 0.7f, 0.0f);
    glTexCoord2i(0, 1);
    glVertex3f(-1.1f, 0.7f, 0.0f);
    glEnd();
}

void DrawPicture(std::uint32_t texture, double brightness)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -PictureDistance);
    const auto grey = static_cast<GLfloat>(brightness);
    glColor3f(grey, grey, grey);
    SendPictureQuad(texture);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void DrawPlainPicture(std::uint32_t texture, double brightness)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -PictureDistance);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    const auto grey = static_cast<GLfloat>(brightness);
    glColor3f(grey, grey, grey);
    SendPictureQuad(texture);
    // Switched back on whatever it was before: what comes after finds sphere mapping on.
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// Strictly between both bounds, as every time window of the production.
static bool Inside(std::int64_t lower, std::int64_t time, std::int64_t upper)
{
    return lower < time && time < upper;
}

void ShowPictureInOut(std::int32_t t, std::int32_t start, std::int32_t stop, std::uint32_t texture)
{
    // 64-bit bounds: the same windows as 32-bit ones for every time the production uses, and no
    // overflow for extreme arguments.
    const std::int64_t time = t;
    const std::int64_t first = start;
    const std::int64_t last = stop;
    // Every row is tested, in order: with a span under 950 ms the ladders overlap and one
    // frame may draw the picture twice.
    for (int k = 0; k < FadeSteps; ++k) {
        if (Inside(first + FadeStepMs * k, time, first + FadeStepMs * (k + 1))) {
            DrawPicture(texture, FadeLadder[k]);
        }
    }
    if (Inside(first + FadeStepMs * FadeSteps, time, last - FadeOutLeadMs)) {
        DrawPicture(texture, FadeLadder[FadeSteps]);
    }
    for (int k = 0; k < FadeSteps; ++k) {
        const std::int64_t lower = last - FadeOutLeadMs + FadeStepMs * k;
        if (Inside(lower, time, lower + FadeStepMs)) {
            DrawPicture(texture, FadeLadder[FadeSteps - 1 - k]);
        }
    }
}

void ShowPictureIn(std::int32_t t, std::uint32_t texture, double start, double stop)
{
    const auto time = static_cast<double>(t);
    const auto step = static_cast<double>(FadeStepMs);
    for (int k = 0; k < FadeSteps; ++k) {
        if (start + step * k < time && time < start + step * (k + 1)) {
            DrawPlainPicture(texture, FadeLadder[k]);
        }
    }
    if (start + step * FadeSteps < time && time < stop - static_cast<double>(FadeOutLeadMs)) {
        DrawPlainPicture(texture, FadeLadder[FadeSteps]);
    }
}

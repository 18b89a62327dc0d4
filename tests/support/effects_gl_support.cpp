// Shared scaffolding of the effects GL tests: one headless context, the production's start-up
// render state, textures made to order, and pixels read back.
#include "tests/support/effects_gl_support.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/headless.h"

const Rgb MarkColour = {0, 0, 255};

void ApplyStartupState()
{
    static bool created = false;
    if (!created && !HeadlessCreateContext(ScreenWidth, ScreenHeight)) {
        std::fprintf(stderr, "no headless OpenGL context\n");
        std::abort();
    }
    created = true;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.4f);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glViewport(BandX, BandY, BandWidth, BandHeight);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

GLuint MakeTexture(int width, int height, const std::vector<std::uint32_t>& rgbaTexels)
{
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t texel : rgbaTexels) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(texel >> shift));
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

GLuint MakeSolidTexture(std::uint32_t rgba)
{
    return MakeTexture(1, 1, {rgba});
}

void MarkScreen()
{
    glClearColor(MarkColour.Red / 255.0f, MarkColour.Green / 255.0f, MarkColour.Blue / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

Rgb ReadPixel(int x, int y)
{
    std::uint8_t rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

Rgb ReadBandCentre()
{
    return ReadPixel(BandX + BandWidth / 2, BandY + BandHeight / 2);
}

std::vector<Rgb> ReadScreen()
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(ScreenWidth) * ScreenHeight * 4);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<Rgb> pixels;
    for (std::size_t i = 0; i < bytes.size(); i += 4)
        pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return pixels;
}

int CountOther(const Rgb& colour)
{
    int other = 0;
    for (const Rgb& pixel : ReadScreen())
        other += Near(pixel, colour) ? 0 : 1;
    return other;
}

GLint GetInteger(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

bool Near(const Rgb& pixel, const Rgb& expected, int tolerance)
{
    return std::abs(pixel.Red - expected.Red) <= tolerance && std::abs(pixel.Green - expected.Green) <= tolerance &&
           std::abs(pixel.Blue - expected.Blue) <= tolerance;
}

Rgb CurrentColour()
{
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    return {static_cast<int>(std::lround(colour[0] * 255)), static_cast<int>(std::lround(colour[1] * 255)),
            static_cast<int>(std::lround(colour[2] * 255))};
}

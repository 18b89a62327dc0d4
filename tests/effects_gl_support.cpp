// Shared scaffolding of the effects GL tests: one headless context, the production's start-up
// render state, textures made to order, and pixels read back (and saved to look at).
#include "tests/effects_gl_support.h"

#include <GL/glu.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>

#include "platform/headless.h"
#include "shell/master.h"

const Rgb MarkColour = {0, 0, 255};

void EnsureContext()
{
    static bool created = false;
    if (!created) {
        if (!HeadlessCreateContext(ScreenWidth, ScreenHeight)) {
            std::fprintf(stderr, "no headless OpenGL context\n");
            std::abort();
        }
        created = true;
    }
}

void UseLaterProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 4.0 / 3.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ApplyStartupState()
{
    EnsureContext();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.4f);
    glClearDepth(1.0);
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
    UseLaterProjection();
    DemoTime = 0;
}

GLuint MakeTexture(int width, int height, const std::vector<std::uint32_t>& rgbaTexels)
{
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t texel : rgbaTexels) {
        bytes.push_back(static_cast<std::uint8_t>(texel >> 24));
        bytes.push_back(static_cast<std::uint8_t>(texel >> 16));
        bytes.push_back(static_cast<std::uint8_t>(texel >> 8));
        bytes.push_back(static_cast<std::uint8_t>(texel));
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
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

Rgb ReadBandCentre()
{
    return ReadPixel(BandX + BandWidth / 2, BandY + BandHeight / 2);
}

std::vector<Rgb> ReadScreen()
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(ScreenWidth) * ScreenHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<Rgb> pixels;
    pixels.reserve(bytes.size() / 3);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    }
    return pixels;
}

void SaveScreen(const std::string& name)
{
    const char* folder = std::getenv("MORAVEL_TEST_PICTURES");
    if (folder == nullptr || *folder == '\0') {
        return;
    }
    const std::string path = std::string(folder) + "/" + name;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(ScreenWidth) * ScreenHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, ScreenWidth, ScreenHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = ScreenHeight - 1; row >= 0; --row) {
        png_write_row(png, bytes.data() + static_cast<std::size_t>(row) * ScreenWidth * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
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

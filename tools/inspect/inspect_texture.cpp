// moravel-inspect texture: what the production's loader hands to OpenGL, written out as a PNG.
#include <GL/gl.h>
#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/headless.h"
#include "textures/textures.h"
#include "tools/inspect/inspect.h"

// Rows arrive bottom row first, as OpenGL holds them; the PNG gets the top row first.
static bool WritePng(const char* path, int width, int height, int channels, const std::vector<std::uint8_t>& pixels)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] = const_cast<png_bytep>(pixels.data() + static_cast<std::size_t>(height - 1 - y) * width * channels);
    bool written = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

int InspectTexture(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr,
                     "moravel-inspect: texture takes FILE OUT.png, not %d argument%s\nusage: moravel-inspect texture "
                     "FILE OUT.png\n",
                     argc, argc == 1 ? "" : "s");
        return 2;
    }
    const char* fileName = argv[0];
    const char* pngName = argv[1];
    if (!CheckInputFile(fileName))
        return 1;
    if (!HeadlessCreateContext(64, 64)) {
        std::fprintf(stderr, "moravel-inspect: no OpenGL context (EGL on Mesa) could be made\n");
        return 1;
    }
    HeadlessClearMessageLog();
    GLuint texture = 0;
    if (!LoadTexture(fileName, texture, false)) {
        // A reader's message box has already gone to stderr; an unknown ending shows none.
        if (HeadlessMessageLog().empty())
            std::fprintf(stderr, "moravel-inspect: no reader takes \"%s\" (only .bmp, .jpg and .tga)\n", fileName);
        HeadlessDestroyContext();
        return 1;
    }

    GLint width = 0;
    GLint height = 0;
    GLint alphaBits = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
    const int channels = alphaBits > 0 ? 4 : 3;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "moravel-inspect: \"%s\" gave an empty texture (%dx%d)\n", fileName, width, height);
        HeadlessDestroyContext();
        return 1;
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    HeadlessDestroyContext();
    if (!WritePng(pngName, width, height, channels, pixels)) {
        std::fprintf(stderr, "moravel-inspect: cannot write \"%s\"\n", pngName);
        return 1;
    }
    std::printf("%dx%d %s\n", width, height, channels == 4 ? "RGBA" : "RGB");
    return 0;
}

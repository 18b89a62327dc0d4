// The one back end every reader ends in: decoded pixels become a mipmapped OpenGL texture.
#include <GL/glu.h>

#include "platform/platform.h"
#include "textures/textures.h"

// A new texture name, bound, with the state every texture of the production has.
static GLuint NewBoundTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Texture-unit state, not per texture; every scene relies on the current colour scaling the picture.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Plain linear on purpose: the chain is built, yet sampling stays on level 0, as the scenes were tuned.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The rows are packed without gaps; OpenGL's default of 4-byte rows would read RGB pictures whose
    // width is not a multiple of four askew and past the end of the buffer.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return texture;
}

GLuint CreateTexture(std::uint16_t width, std::uint16_t height, GLenum format, const std::uint8_t* pixels)
{
    const GLuint texture = NewBoundTexture();
    if (format == GL_RGBA)
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    else
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    return texture;
}

static void UploadLevel(GLint level, const PixelBuffer& picture)
{
    // Three components for RGB, as GLU asks for them, so the textures are the same either way.
    const GLint components = picture.Format == GL_RGBA ? GL_RGBA : 3;
    glTexImage2D(GL_TEXTURE_2D, level, components, picture.Width, picture.Height, 0, picture.Format, GL_UNSIGNED_BYTE,
                 picture.Pixels.data());
}

GLuint CreateTextureWithLevels(const PixelBuffer& picture, const std::vector<PixelBuffer>& levels)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (picture.Width > largest || picture.Height > largest)
        return CreateTexture(picture.Width, picture.Height, picture.Format, picture.Pixels.data());
    const GLuint texture = NewBoundTexture();
    UploadLevel(0, picture);
    for (std::size_t i = 0; i < levels.size(); ++i)
        UploadLevel(static_cast<GLint>(i + 1), levels[i]);
    return texture;
}

bool UploadDecoded(const DecodeResult& decoded, GLuint& texture)
{
    if (!decoded.Ok) {
        SysMessageBox(decoded.Text.c_str(), decoded.Caption.c_str(), MbOk);
        return false;
    }
    const PixelBuffer& picture = decoded.Picture;
    texture = CreateTexture(picture.Width, picture.Height, picture.Format, picture.Pixels.data());
    return true;
}

bool UploadPrepared(const PreparedTexture& prepared, GLuint& texture)
{
    if (!prepared.HasReader)
        return false;
    if (!prepared.HasLevels || !prepared.Decoded.Ok)
        return UploadDecoded(prepared.Decoded, texture);
    texture = CreateTextureWithLevels(prepared.Decoded.Picture, prepared.Levels);
    return true;
}

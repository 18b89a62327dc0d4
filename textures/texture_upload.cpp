// The one back end every reader ends in: decoded pixels become a mipmapped OpenGL texture.
#include <GL/glu.h>

#include "platform/platform.h"
#include "textures/textures.h"

GLuint CreateTexture(std::uint16_t width, std::uint16_t height, GLenum format, const std::uint8_t* pixels)
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
    if (format == GL_RGBA)
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    else
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
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

// The off-screen picture of a player that does not switch the display mode.
#include "platform/sdl_picture.h"

#include <SDL2/SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int PictureWidth = 640;
constexpr int PictureHeight = 480;

// Framebuffer objects are not in OpenGL 1.1's exports: they are looked up once the context exists.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;
};

FramebufferCalls Calls;
GLuint Framebuffer = 0;

template <typename Call>
bool Find(Call& call, const char* name)
{
    call = reinterpret_cast<Call>(SDL_GL_GetProcAddress(name));
    return call != nullptr;
}

bool FindFramebufferCalls()
{
    return Find(Calls.GenFramebuffers, "glGenFramebuffers") && Find(Calls.BindFramebuffer, "glBindFramebuffer") &&
           Find(Calls.GenRenderbuffers, "glGenRenderbuffers") && Find(Calls.BindRenderbuffer, "glBindRenderbuffer") &&
           Find(Calls.RenderbufferStorage, "glRenderbufferStorage") &&
           Find(Calls.FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Find(Calls.CheckFramebufferStatus, "glCheckFramebufferStatus") &&
           Find(Calls.BlitFramebuffer, "glBlitFramebuffer");
}

void AttachStorage(GLenum format, GLenum attachment, const PictureArea& picture)
{
    GLuint buffer = 0;
    Calls.GenRenderbuffers(1, &buffer);
    Calls.BindRenderbuffer(GL_RENDERBUFFER, buffer);
    Calls.RenderbufferStorage(GL_RENDERBUFFER, format, picture.Width, picture.Height);
    Calls.FramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, buffer);
}

}  // namespace

PictureArea PictureSize(const SysPresentation& presentation, int desktopWidth, int desktopHeight)
{
    PictureArea picture;
    if (presentation.Screen != SysScreen::Desktop) {
        const int scale = std::max(presentation.WindowScale, 1);
        picture.Width = PictureWidth * scale;
        picture.Height = PictureHeight * scale;
        picture.Scale = scale;
        return picture;
    }
    // The side that limits keeps its whole length; the other is 4:3 of it, rounded.
    const long wide = static_cast<long>(std::max(desktopWidth, 1)) * PictureHeight;
    const long tall = static_cast<long>(std::max(desktopHeight, 1)) * PictureWidth;
    if (wide >= tall) {
        picture.Height = std::max(desktopHeight, 1);
        picture.Width = std::max(static_cast<int>((tall + PictureHeight / 2) / PictureHeight), 1);
        picture.Scale = static_cast<double>(picture.Height) / PictureHeight;
    } else {
        picture.Width = std::max(desktopWidth, 1);
        picture.Height = std::max(static_cast<int>((wide + PictureWidth / 2) / PictureWidth), 1);
        picture.Scale = static_cast<double>(picture.Width) / PictureWidth;
    }
    return picture;
}

PictureArea CentrePicture(PictureArea picture, int drawableWidth, int drawableHeight)
{
    picture.X = (drawableWidth - picture.Width) / 2;
    picture.Y = (drawableHeight - picture.Height) / 2;
    return picture;
}

bool CreatePictureBuffer(const PictureArea& picture)
{
    if (!FindFramebufferCalls()) {
        std::fprintf(stderr, "moravel: this OpenGL has no framebuffer objects, which --window and --desktop need\n");
        return false;
    }
    Calls.GenFramebuffers(1, &Framebuffer);
    Calls.BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
    AttachStorage(GL_RGBA8, GL_COLOR_ATTACHMENT0, picture);
    AttachStorage(GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT, picture);
    if (Calls.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "moravel: OpenGL cannot draw into a %d x %d picture\n", picture.Width, picture.Height);
        Calls.BindFramebuffer(GL_FRAMEBUFFER, 0);
        Framebuffer = 0;
        return false;
    }
    return true;
}

// The production's clear colour and write mask stay as it set them: only this copy clears black.
void ShowPictureInWindow(const PictureArea& picture, int drawableWidth, int drawableHeight)
{
    if (Framebuffer == 0)
        return;
    const PictureArea at = CentrePicture(picture, drawableWidth, drawableHeight);
    GLfloat clearColour[4] = {};
    GLboolean writeMask[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glGetBooleanv(GL_COLOR_WRITEMASK, writeMask);
    Calls.BindFramebuffer(GL_READ_FRAMEBUFFER, Framebuffer);
    Calls.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Calls.BlitFramebuffer(0, 0, at.Width, at.Height, at.X, at.Y, at.X + at.Width, at.Y + at.Height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glColorMask(writeMask[0], writeMask[1], writeMask[2], writeMask[3]);
}

void ResumePictureBuffer()
{
    if (Framebuffer != 0)
        Calls.BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
}

void ForgetPictureBuffer()
{
    Framebuffer = 0;
}

bool PictureBufferInUse()
{
    return Framebuffer != 0;
}

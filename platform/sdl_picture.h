// The player's picture when the display mode is not switched: the production draws into an
// off-screen buffer of 640 x 480 times the render scale, and each presented frame copies it, pixel
// for pixel, to the middle of the window, black around it.
#pragma once

#include "platform/platform.h"

// Where the picture goes in a drawable: its size in pixels, its lower-left corner (OpenGL's
// orientation), and the render scale that size is of 640 x 480.
struct PictureArea {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    double Scale = 1.0;
};

// The picture's size for a presentation: 640 x 480 times the window scale for a window, the largest
// 4:3 size that fits the desktop for the desktop (never smaller than 1 x 1). Centred in a drawable of
// the given size (for a drawable smaller than the picture, X or Y is negative: its middle shows).
PictureArea PictureSize(const SysPresentation& presentation, int desktopWidth, int desktopHeight);
PictureArea CentrePicture(PictureArea picture, int drawableWidth, int drawableHeight);

// With the window's context current: makes the off-screen buffer (colour and depth) and draws into
// it from then on. False, with the reason on stderr, when OpenGL offers no framebuffer objects.
bool CreatePictureBuffer(const PictureArea& picture);
// Copies the picture to the middle of the window's back buffer, black around it; the caller swaps,
// then calls ResumePictureBuffer so that drawing goes on into the buffer.
void ShowPictureInWindow(const PictureArea& picture, int drawableWidth, int drawableHeight);
void ResumePictureBuffer();
// Forgets the buffer; it goes with its context.
void ForgetPictureBuffer();
bool PictureBufferInUse();

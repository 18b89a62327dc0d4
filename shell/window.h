// The one window, its device context and OpenGL context: creation, teardown, resize.
#pragma once

#include "platform/platform.h"

// The window's handles: CreateMainWindow sets them, DestroyMainWindow gives them back.
struct WindowHandles {
    SysWindow Window = 0;
    SysDeviceContext DC = 0;   // its device context
    SysGLContext Context = 0;  // the OpenGL context
};

extern WindowHandles MainWindow;

constexpr const char* WindowClassName = "OpenGL";
constexpr const char* WindowErrorCaption = "Zendra Error";

bool CreateMainWindow(int width, int height, bool fullScreen, int bitsPerPixel);
// Tears everything down once per creation; a second call does nothing.
void DestroyMainWindow(bool restoreDisplay);
// True once the teardown has begun.
bool MainWindowTornDown();
void ResizeScene(int width, int height);

// True while the display mode is changed and must be put back on the way out.
bool DisplayModeChanged();
// Forgets every handle (tests create the window more than once).
void ResetWindowState();

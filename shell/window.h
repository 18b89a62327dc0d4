// The one window, its device context and OpenGL context: creation, teardown, resize.
#pragma once

#include "platform/platform.h"

extern SysWindow MainWindow;       // the window; CreateMainWindow sets it
extern SysDeviceContext WindowDC;  // its device context; CreateMainWindow sets it
extern SysGLContext GLContext;     // the OpenGL context; CreateMainWindow sets it

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

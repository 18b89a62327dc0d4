// The one window and its OpenGL context: display mode, class, window, pixel format, teardown.
#include "shell/window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "shell/init_scene.h"
#include "shell/master.h"
#include "shell/music.h"

WindowHandles MainWindow;

static bool DisplayChanged = false;
// Set when a teardown begins; a second one (a click inside a message box of the first, the end of a
// run a click already ended) would destroy what is gone and report it.
static bool TeardownBegun = false;

void ResetWindowState()
{
    MainWindow = WindowHandles{};
    DisplayChanged = false;
    TeardownBegun = false;
}

bool MainWindowTornDown()
{
    return TeardownBegun;
}

bool DisplayModeChanged()
{
    return DisplayChanged;
}

static void ShowWindowError(const char* text)
{
    SysMessageBox(text, WindowErrorCaption, MbOk | MbIconError);
}

static SysWindowClass FillWindowClass()
{
    SysWindowClass windowClass;
    windowClass.Style = CsHRedraw | CsVRedraw | CsOwnDC;
    windowClass.WndProc = MainWindowProc;
    windowClass.Instance = SysGetModuleHandle();
    windowClass.Cursor = SysLoadCursor(IdcArrow);
    windowClass.ClassName = WindowClassName;
    return windowClass;
}

// Switches to the full-screen mode; false when the display refused it.
static bool SwitchToFullScreen(int width, int height, int bitsPerPixel)
{
    SysDisplayMode mode;
    mode.Size = DisplayModeSize;
    mode.PelsWidth = static_cast<std::uint32_t>(width);
    mode.PelsHeight = static_cast<std::uint32_t>(height);
    mode.BitsPerPel = static_cast<std::uint32_t>(bitsPerPixel);
    mode.Fields = DmBitsPerPel | DmPelsWidth | DmPelsHeight;
    return SysChangeDisplaySettings(&mode, CdsFullscreen) != DispChangeFailed;
}

static SysPixelFormat FillPixelFormat(int bitsPerPixel)
{
    SysPixelFormat format;
    format.Size = PixelFormatSize;
    format.Version = 1;
    format.Flags = PfdDrawToWindow | PfdSupportOpenGL | PfdDoubleBuffer;
    format.PixelType = PfdTypeRgba;
    format.ColorBits = static_cast<std::uint8_t>(bitsPerPixel);
    format.DepthBits = 16;
    format.LayerType = PfdMainPlane;
    return format;
}

// Gives the window its pixel format and a current rendering context; reports its own failure.
static bool CreateRenderingContext(int bitsPerPixel, bool fullScreen)
{
    const SysPixelFormat format = FillPixelFormat(bitsPerPixel);
    const int formatIndex = SysChoosePixelFormat(MainWindow.DC, format);
    if (formatIndex == 0) {
        DestroyMainWindow(fullScreen);
        ShowWindowError("Nie moge rozpoznac formatu textury!");
        return false;
    }
    if (!SysSetPixelFormat(MainWindow.DC, formatIndex, format)) {
        DestroyMainWindow(fullScreen);
        ShowWindowError("Nie moge rozpoznac formatu textury!");
        return false;
    }
    MainWindow.Context = SysCreateContext(MainWindow.DC);
    if (MainWindow.Context == 0) {
        DestroyMainWindow(fullScreen);
        ShowWindowError("Nie moge rozpoznac formatu textury!");
        return false;
    }
    if (!SysMakeCurrent(MainWindow.DC, MainWindow.Context)) {
        DestroyMainWindow(fullScreen);
        ShowWindowError("Nie moge zainicjowac trybu OpenGL");
        return false;
    }
    return true;
}

bool CreateMainWindow(int width, int height, bool fullScreen, int bitsPerPixel)
{
    const SysWindowClass windowClass = FillWindowClass();
    DisplayChanged = false;
    TeardownBegun = false;
    if (fullScreen) {
        if (SwitchToFullScreen(width, height, bitsPerPixel)) {
            DisplayChanged = true;
        } else {
            ShowWindowError("Nie moge przelaczyc do trybu pelnoekranowego!");
            fullScreen = false;
        }
    }
    if (SysRegisterClass(windowClass) == 0) {
        // Leaving here with the mode still changed would strand the user's screen at 640 x 480.
        if (fullScreen) {
            SysChangeDisplaySettings(nullptr, 0);
            DisplayChanged = false;
        }
        ShowWindowError("Nie moge zrejestrowac klasy okna!");
        return false;
    }

    std::uint32_t exStyle = WsExAppWindow | WsExWindowEdge;
    std::uint32_t style = WsOverlappedWindow | WsClipSiblings | WsClipChildren;
    if (fullScreen) {
        exStyle = WsExAppWindow;
        style = WsPopup | WsClipSiblings | WsClipChildren;
        SysShowCursor(false);
    }

    MainWindow.Window =
        SysCreateWindow(exStyle, WindowClassName, DemoTitle, style, 0, 0, width, height, windowClass.Instance);
    if (MainWindow.Window == 0) {
        DestroyMainWindow(fullScreen);
        ShowWindowError("Nie moge stworzyc okna!");
        return false;
    }
    MainWindow.DC = SysGetDC(MainWindow.Window);
    if (MainWindow.DC == 0) {
        DestroyMainWindow(fullScreen);
        ShowWindowError("Konflikt sprzetowy!");
        return false;
    }
    if (!CreateRenderingContext(bitsPerPixel, fullScreen))
        return false;

    SysSetTimer(MainWindow.Window, FrameRateTimerId, FrameRateTimerPeriod);
    SysShowWindow(MainWindow.Window, SwShow);
    SysSetForegroundWindow(MainWindow.Window);
    SysSetFocus(MainWindow.Window);
    ResizeScene(width, height);
    InitScene();
    if (RunEndedEarly())  // a click in one of the loaders' message boxes ended the run
        return false;
    return SetUpSound();
}

void DestroyMainWindow(bool restoreDisplay)
{
    if (TeardownBegun)
        return;
    TeardownBegun = true;
    if (restoreDisplay) {
        SysChangeDisplaySettings(nullptr, 0);
        SysShowCursor(true);
        DisplayChanged = false;
    }
    if (!SysMakeCurrent(MainWindow.DC, 0))
        ShowWindowError("Nie moge zainicjowac trybu renderingu!");
    if (!SysDeleteContext(MainWindow.Context)) {
        ShowWindowError("Nie moge zainicjowac trybu renderingu!");
        MainWindow.Context = 0;
    }
    if (MainWindow.DC != 0 && !SysReleaseDC(MainWindow.Window, MainWindow.DC)) {
        ShowWindowError("Konflikt sprzetowy!");
        MainWindow.DC = 0;
    }
    if (MainWindow.Window != 0 && !SysDestroyWindow(MainWindow.Window)) {
        ShowWindowError("Nie moge zamknac okna");
        MainWindow.Window = 0;
    }
    if (!SysUnregisterClass(WindowClassName, SysGetModuleHandle()))
        ShowWindowError("Nie moge wyrejestrowac klasy okna!");
}

void ResizeScene(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Headless backend: EGL on Mesa's surfaceless platform, a pbuffer in place of the window, a real
// or virtual clock, message boxes on stderr. No window system is needed.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/headless.h"
#include "platform/posix_clock.h"
#include "platform/posix_libraries.h"
#include "platform/posix_threads.h"
#include "platform/window_classes.h"

namespace {

struct HeadlessWindow {
    int Width = 0;
    int Height = 0;
    EGLSurface Surface = EGL_NO_SURFACE;
};

EGLDisplay Display = EGL_NO_DISPLAY;
EGLConfig Config = nullptr;
std::map<SysWindow, HeadlessWindow> Windows;
SysWindow NextWindow = 1;
std::map<SysGLContext, EGLContext> Contexts;
SysGLContext NextContext = 1;
SysGLContext StandaloneContext = 0;
SysWindow StandaloneWindow = 0;

int Scale = 1;
int CursorCount = 0;

bool VirtualClock = false;
std::uint64_t FpsNumerator = 60;
std::uint64_t FpsDenominator = 1;
std::uint64_t VirtualFrames = 0;

bool TimerSet = false;
SysWindow TimerWindow = 0;
std::uintptr_t TimerId = 0;
std::uint32_t TimerPeriod = 0;
std::uint32_t TimerDue = 0;

std::function<void()> SwapHook;
std::vector<std::string> MessageLog;

bool OpenDisplay()
{
    if (Display != EGL_NO_DISPLAY)
        return true;
    Display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (Display == EGL_NO_DISPLAY)
        return false;
    if (eglInitialize(Display, nullptr, nullptr) != EGL_TRUE) {
        Display = EGL_NO_DISPLAY;
        return false;
    }
    return true;
}

bool PickConfig(int depthBits)
{
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_PBUFFER_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_DEPTH_SIZE,
                                 depthBits,
                                 EGL_NONE};
    EGLint count = 0;
    return eglChooseConfig(Display, attributes, &Config, 1, &count) == EGL_TRUE && count == 1;
}

HeadlessWindow* FindWindow(SysWindow window)
{
    const auto found = Windows.find(window);
    return found == Windows.end() ? nullptr : &found->second;
}

std::intptr_t SizeParam(int width, int height)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(height) << 16) |
                                      (static_cast<std::uint32_t>(width) & 0xFFFF));
}

void PostTimerIfDue()
{
    if (!TimerSet || Windows.count(TimerWindow) == 0)
        return;
    if (static_cast<std::int32_t>(SysGetTickCount() - TimerDue) < 0)
        return;
    TimerDue += TimerPeriod;
    MessageQueue().push_back(SysMessage{TimerWindow, WmTimer, TimerId, 0});
}

}  // namespace

// Display mode: there is no display to switch, so every mode is granted.
int SysChangeDisplaySettings(const SysDisplayMode*, std::uint32_t)
{
    return DispChangeSuccessful;
}

int SysShowCursor(bool show)
{
    CursorCount += show ? 1 : -1;
    return CursorCount;
}

SysWindow SysCreateWindow(std::uint32_t, const char* className, const char*, std::uint32_t, int, int, int width,
                          int height, SysInstance)
{
    if (ClassTableProc(className) == nullptr || width <= 0 || height <= 0)
        return 0;
    const SysWindow window = NextWindow++;
    HeadlessWindow& created = Windows[window];
    created.Width = width * Scale;
    created.Height = height * Scale;
    WindowTableAdd(window, className);
    SendToWindow(window, WmCreate, 0, 0);
    SendToWindow(window, WmSize, 0, SizeParam(created.Width, created.Height));
    return window;
}

bool SysDestroyWindow(SysWindow window)
{
    HeadlessWindow* target = FindWindow(window);
    if (target == nullptr)
        return false;
    SendToWindow(window, WmDestroy, 0, 0);
    if (target->Surface != EGL_NO_SURFACE)
        eglDestroySurface(Display, target->Surface);
    WindowTableRemove(window);
    Windows.erase(window);
    return true;
}

bool SysShowWindow(SysWindow window, int)
{
    return FindWindow(window) != nullptr;
}

bool SysSetForegroundWindow(SysWindow window)
{
    return FindWindow(window) != nullptr;
}

SysWindow SysSetFocus(SysWindow window)
{
    return FindWindow(window) != nullptr ? window : 0;
}

bool SysSetWindowText(SysWindow window, const char*)
{
    return FindWindow(window) != nullptr;
}

bool SysSetTimer(SysWindow window, std::uintptr_t timerId, std::uint32_t periodMs)
{
    if (FindWindow(window) == nullptr)
        return false;
    TimerSet = true;
    TimerWindow = window;
    TimerId = timerId;
    TimerPeriod = periodMs;
    TimerDue = SysGetTickCount() + periodMs;
    return true;
}

// The device context of a window is the window's own number.
SysDeviceContext SysGetDC(SysWindow window)
{
    return FindWindow(window) != nullptr ? window : 0;
}

bool SysReleaseDC(SysWindow window, SysDeviceContext dc)
{
    return dc == window && FindWindow(window) != nullptr;
}

int SysChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat& format)
{
    if (FindWindow(dc) == nullptr || !OpenDisplay())
        return 0;
    if ((format.Flags & PfdSupportOpenGL) == 0)
        return 0;
    return PickConfig(format.DepthBits) ? 1 : 0;
}

bool SysSetPixelFormat(SysDeviceContext dc, int formatIndex, const SysPixelFormat& format)
{
    HeadlessWindow* target = FindWindow(dc);
    if (target == nullptr || formatIndex != 1 || target->Surface != EGL_NO_SURFACE || !PickConfig(format.DepthBits))
        return false;
    const EGLint attributes[] = {EGL_WIDTH, target->Width, EGL_HEIGHT, target->Height, EGL_NONE};
    target->Surface = eglCreatePbufferSurface(Display, Config, attributes);
    return target->Surface != EGL_NO_SURFACE;
}

SysGLContext SysCreateContext(SysDeviceContext dc)
{
    const HeadlessWindow* target = FindWindow(dc);
    if (target == nullptr || target->Surface == EGL_NO_SURFACE)
        return 0;
    eglBindAPI(EGL_OPENGL_API);
    const EGLContext context = eglCreateContext(Display, Config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT)
        return 0;
    const SysGLContext handle = NextContext++;
    Contexts[handle] = context;
    return handle;
}

bool SysMakeCurrent(SysDeviceContext dc, SysGLContext context)
{
    if (context == 0) {
        if (Display != EGL_NO_DISPLAY)
            eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        return true;
    }
    const HeadlessWindow* target = FindWindow(dc);
    const auto found = Contexts.find(context);
    if (target == nullptr || found == Contexts.end())
        return false;
    return eglMakeCurrent(Display, target->Surface, target->Surface, found->second) == EGL_TRUE;
}

bool SysDeleteContext(SysGLContext context)
{
    const auto found = Contexts.find(context);
    if (found == Contexts.end())
        return false;
    eglDestroyContext(Display, found->second);
    Contexts.erase(found);
    return true;
}

bool SysSwapBuffers(SysDeviceContext dc)
{
    const HeadlessWindow* target = FindWindow(dc);
    if (target == nullptr)
        return false;
    if (SwapHook)
        SwapHook();
    // A pbuffer's swap does not flush; a real one does, and without it frames pile up unsent.
    glFlush();
    eglSwapBuffers(Display, target->Surface);
    if (VirtualClock)
        ++VirtualFrames;
    return true;
}

double SysRenderScale()
{
    return Scale;
}

// Only the production's own presentation.
bool SysSetPresentation(const SysPresentation& presentation)
{
    return presentation.Screen == SysScreen::SwitchMode && !presentation.VSync;
}

// The capture and the benchmarks keep their own record of each frame; there is no trace here.
void SysSetFrameReporter(SysFrameReport (*)()) {}

bool SysPeekMessage(SysMessage& message)
{
    PostTimerIfDue();
    return TakeQueuedMessage(message);
}

std::uint32_t SysGetTickCount()
{
    if (!VirtualClock)
        return PosixTickCount();
    // Whole milliseconds of VirtualFrames * 1000 / fps, computed exactly.
    return static_cast<std::uint32_t>(VirtualFrames * 1000u * FpsDenominator / FpsNumerator);
}

void SysSleep(std::uint32_t ms)
{
    if (!VirtualClock)
        PosixSleep(ms);
}

int SysMessageBox(const char* text, const char* caption, std::uint32_t)
{
    const std::string line = std::string(caption != nullptr ? caption : "") + ": " + (text != nullptr ? text : "");
    std::fprintf(stderr, "%s\n", line.c_str());
    MessageLog.push_back(line);
    return 1;
}

// The tools render without any display and read the data in the working folder.
bool SysCheckDisplay()
{
    return true;
}

bool SysChooseDataFolder(std::string&)
{
    return true;
}

// With no window and no context left, the EGL display is ended, and with it Mesa's renderer
// threads; the next run opens it again. A tool's standalone context keeps it.
void SysShutdown()
{
    if (Display != EGL_NO_DISPLAY && Contexts.empty() && Windows.empty()) {
        eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        PosixKeepLibrariesLoaded();
        eglTerminate(Display);
        eglReleaseThread();
        Display = EGL_NO_DISPLAY;
        PosixReportThreadsLeft();
    }
}

void HeadlessUseVirtualClock(std::uint64_t fpsNumerator, std::uint64_t fpsDenominator)
{
    VirtualClock = fpsNumerator != 0 && fpsDenominator != 0;
    FpsNumerator = fpsNumerator;
    FpsDenominator = fpsDenominator;
    VirtualFrames = 0;
}

void HeadlessSetScale(int scale)
{
    Scale = scale > 0 ? scale : 1;
}

void HeadlessSetSwapHook(std::function<void()> hook)
{
    SwapHook = std::move(hook);
}

bool HeadlessReadFrame(std::vector<std::uint8_t>& rgb, int& width, int& height)
{
    EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
    if (surface == EGL_NO_SURFACE)
        return false;
    EGLint w = 0;
    EGLint h = 0;
    eglQuerySurface(Display, surface, EGL_WIDTH, &w);
    eglQuerySurface(Display, surface, EGL_HEIGHT, &h);
    width = w;
    height = h;
    rgb.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return true;
}

void HeadlessPostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const SysWindow window = Windows.empty() ? 0 : Windows.begin()->first;
    MessageQueue().push_back(SysMessage{window, message, wParam, lParam});
}

namespace {
std::intptr_t StandaloneProc(SysWindow, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;
}
}  // namespace

bool HeadlessCreateContext(int width, int height)
{
    HeadlessDestroyContext();
    SysWindowClass windowClass;
    windowClass.WndProc = StandaloneProc;
    windowClass.ClassName = "HeadlessStandalone";
    ClassTableRegister(windowClass);
    StandaloneWindow = SysCreateWindow(0, windowClass.ClassName, "", 0, 0, 0, width, height, 0);
    SysPixelFormat format;
    format.Flags = PfdSupportOpenGL | PfdDoubleBuffer | PfdDrawToWindow;
    format.DepthBits = 16;
    const int index = SysChoosePixelFormat(StandaloneWindow, format);
    if (index == 0 || !SysSetPixelFormat(StandaloneWindow, index, format))
        return false;
    StandaloneContext = SysCreateContext(StandaloneWindow);
    return StandaloneContext != 0 && SysMakeCurrent(StandaloneWindow, StandaloneContext);
}

void HeadlessDestroyContext()
{
    if (StandaloneContext != 0) {
        SysMakeCurrent(StandaloneWindow, 0);
        SysDeleteContext(StandaloneContext);
        StandaloneContext = 0;
    }
    if (StandaloneWindow != 0) {
        SysDestroyWindow(StandaloneWindow);
        StandaloneWindow = 0;
        ClassTableUnregister("HeadlessStandalone");
    }
}

const std::vector<std::string>& HeadlessMessageLog()
{
    return MessageLog;
}

void HeadlessClearMessageLog()
{
    MessageLog.clear();
}

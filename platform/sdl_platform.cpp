// SDL2 backend: a real window and OpenGL context on X11 or Wayland, a real display-mode switch,
// SDL events turned into the production's window messages, message boxes as dialogs.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <semaphore.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>

#include "platform/data_folder.h"
#include "platform/platform.h"
#include "platform/posix_clock.h"
#include "platform/posix_libraries.h"
#include "platform/posix_threads.h"
#include "platform/sdl_picture.h"
#include "platform/wayland_probe.h"
#include "platform/window_classes.h"

namespace {

struct SdlWindow {
    SDL_Window* Window = nullptr;
    int LastWidth = 0;  // the client size last reported to the window procedure
    int LastHeight = 0;
    int OuterWidth = 0;  // the outer size the production asked for
    int OuterHeight = 0;
    bool FullScreen = false;
    SDL_TimerID Timer = 0;
};

bool VideoReady = false;
bool FullScreenGranted = false;
// How the player shows the picture, and, when it does not switch the mode, the picture's size.
SysPresentation Presentation;
PictureArea Picture;
SDL_DisplayMode FullScreenMode{};
int CursorCount = 0;
std::map<SysWindow, SdlWindow> Windows;
SysWindow NextWindow = 1;
std::map<SysGLContext, SDL_GLContext> Contexts;
SysGLContext NextContext = 1;
Uint32 TimerEventType = 0;

// SIGINT and SIGTERM: the frame loop ends the run through the window's close, as SDL would have it.
// Where the main thread cannot get there (blocked in the display, inside a dialog, waiting for the
// extractor), a watchdog ends the process one second after the signal. The watchdog is a thread of
// ours like any other: SysShutdown wakes it and joins it, so that none is left as the program ends.
constexpr int SignalGraceMs = 750;
constexpr int RescueMs = 150;
volatile sig_atomic_t PendingSignal = 0;
sem_t WatchdogWake;  // posted by the signal handler (async-signal-safe) and by SysShutdown
std::atomic<bool> ShuttingDown{false};
// A program that ends without SysShutdown (a probe, a tool) still has the watchdog joined on the way
// out, where a joinable std::thread would end it through std::terminate.
struct WatchdogThread {
    std::thread Thread;
    ~WatchdogThread();
};
WatchdogThread Watchdog;
bool CloseForSignalPosted = false;

void OnTerminationSignal(int signalNumber)
{
    if (PendingSignal == 0) {
        PendingSignal = signalNumber;
        sem_post(&WatchdogWake);
    }
}

void RestoreDisplayMode();

// Waits on the semaphore until it is posted or, with a deadline, until then; false on the deadline.
bool WaitForWake(const timespec* deadline)
{
    for (;;) {
        const int result = deadline != nullptr ? sem_timedwait(&WatchdogWake, deadline) : sem_wait(&WatchdogWake);
        if (result == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

timespec MillisecondsFromNow(int ms)
{
    timespec at{};
    clock_gettime(CLOCK_REALTIME, &at);
    at.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    at.tv_sec += ms / 1000 + at.tv_nsec / 1000000000L;
    at.tv_nsec %= 1000000000L;
    return at;
}

// The main thread may be waiting in a dialog (SDL shows it from a process of its own) or blocked in
// the display: put the user's display mode back from here if that can be done at once, then end.
// A shutdown that comes first, or within the grace after a signal, lets the watchdog return instead.
void WatchForStuckShutdown()
{
    WaitForWake(nullptr);
    if (ShuttingDown)
        return;
    const timespec graceEnds = MillisecondsFromNow(SignalGraceMs);
    while (WaitForWake(&graceEnds))
        if (ShuttingDown)
            return;
    static const char text[] =
        "moravel: the run did not end within a second of the signal; stopped without its teardown\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, sizeof text - 1);
    // A display that does not answer holds this thread, not the exit below: the process ends here
    // without its teardown, so no thread of it needs joining.
    std::thread(RestoreDisplayMode).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(RescueMs));
    _exit(128 + PendingSignal);
}

void InstallSignalHandlers()
{
    if (Watchdog.Thread.joinable())
        return;
    sem_init(&WatchdogWake, 0, 0);
    ShuttingDown = false;
    Watchdog.Thread = std::thread(WatchForStuckShutdown);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A display connection the server dropped must fail its writes, not end the process unseen.
    signal(SIGPIPE, SIG_IGN);
}

// The teardown is done: a signal from here on ends the process as the system would, and the
// watchdog returns.
void StopWatchdog()
{
    if (!Watchdog.Thread.joinable())
        return;
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGINT, &standard, nullptr);
    sigaction(SIGTERM, &standard, nullptr);
    ShuttingDown = true;
    sem_post(&WatchdogWake);
    Watchdog.Thread.join();
}

WatchdogThread::~WatchdogThread()
{
    StopWatchdog();
}

// The X server can take the window away (another client destroys it, xkill) or drop the whole
// connection. SDL's own handler then tries to put the display mode back from inside Xlib's error
// handling, which deadlocks; ours only notes it, and the run ends through the window's close.
std::atomic<bool> DisplayFailed{false};
XID WatchedWindow = 0;

int OnXError(Display* display, XErrorEvent* error)
{
    if (DisplayFailed.exchange(true))
        return 0;
    if (error->resourceid == WatchedWindow) {
        std::fprintf(stderr, "moravel: the window was destroyed by another program; the run ends\n");
        return 0;
    }
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "moravel: the display refused a request (%s, request %d); the run ends\n", text,
                 error->request_code);
    return 0;
}

int OnXConnectionLost(Display*)
{
    if (!DisplayFailed.exchange(true))
        std::fprintf(stderr, "moravel: the connection to the display was lost; the run ends\n");
    return 0;
}

// Called where Xlib would exit the process; returning lets every later call fail quietly instead.
void KeepRunningWithoutDisplay(Display*, void*) {}

void WatchXDisplay(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return;
    WatchedWindow = info.info.x11.window;
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXConnectionLost);
    XSetIOErrorExitHandler(info.info.x11.display, KeepRunningWithoutDisplay, nullptr);
}

bool IsOffScreenDriver(const char* driver)
{
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void ReportNoDisplay(const std::string& why)
{
    std::fprintf(stderr,
                 "moravel: there is no display to play on: %s.\n"
                 "Start it from a desktop session, or render it to a video without a display:\n"
                 "    moravel-capture --video moravel.mp4\n",
                 why.c_str());
}

std::string DisplayVariables()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const auto describe = [](const char* name, const char* value) {
        return std::string(name) + (value != nullptr && *value != '\0' ? "=" + std::string(value) : " is not set");
    };
    return describe("DISPLAY", x11) + ", " + describe("WAYLAND_DISPLAY", wayland);
}

// Opens the video side of SDL on a real display, never on its invisible off-screen or dummy drivers.
bool EnsureVideo()
{
    if (VideoReady)
        return true;
    // Closing the window is a WM_CLOSE for the production, not a request to quit; SIGINT and
    // SIGTERM come through our own handlers.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallSignalHandlers();
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* forced = std::getenv("SDL_VIDEODRIVER");
    if (IsOffScreenDriver(forced)) {
        ReportNoDisplay("SDL_VIDEODRIVER=" + std::string(forced) + " shows nothing");
        return false;
    }
    const bool hasX11 = x11 != nullptr && *x11 != '\0';
    const bool hasWayland = wayland != nullptr && *wayland != '\0';
    if (!hasX11 && !hasWayland && forced == nullptr) {
        ReportNoDisplay(DisplayVariables());
        return false;
    }
    // Only the system the variables name is tried: SDL would otherwise go on to its off-screen driver.
    if (forced == nullptr && hasX11 != hasWayland)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, hasX11 ? "x11" : "wayland");
    if (!WaylandUsable(hasX11, hasWayland, forced))
        return false;
    // SDL keeps the handler it finds here and puts it back as it quits: ours, so that an error for
    // a window another program destroyed, arriving while SDL closes the display, is only noted
    // (Xlib's own handler would end the process with exit code 1).
    XSetErrorHandler(OnXError);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        ReportNoDisplay(DisplayVariables() + ", and it cannot be opened (" + SDL_GetError() + ")");
        return false;
    }
    if (IsOffScreenDriver(SDL_GetCurrentVideoDriver())) {
        SDL_Quit();
        ReportNoDisplay(DisplayVariables() + ", and it cannot be opened");
        return false;
    }
    TimerEventType = SDL_RegisterEvents(1);
    VideoReady = true;
    return true;
}

SdlWindow* FindWindow(SysWindow window)
{
    const auto found = Windows.find(window);
    return found == Windows.end() ? nullptr : &found->second;
}

SysWindow FindHandle(Uint32 sdlWindowId)
{
    for (const auto& [handle, window] : Windows)
        if (SDL_GetWindowID(window.Window) == sdlWindowId)
            return handle;
    return Windows.empty() ? 0 : Windows.begin()->first;
}

std::intptr_t PackWords(int low, int high)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(low & 0xFFFF));
}

void Post(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    MessageQueue().push_back(SysMessage{window, message, wParam, lParam});
}

// A resize to the size the production already has is no resize: SDL reports the first
// mapping of a window as a size change, which would wipe the production's start-up viewport.
void PostSize(SysWindow handle, int width, int height)
{
    // The production draws into the player's picture, whose size never changes with the window's.
    if (Presentation.Screen != SysScreen::SwitchMode)
        return;
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr || (width == window->LastWidth && height == window->LastHeight))
        return;
    window->LastWidth = width;
    window->LastHeight = height;
    Post(handle, WmSize, 0, PackWords(width, height));
}

// Windows virtual-key codes for the keys SDL reports.
std::uintptr_t VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<std::uintptr_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<std::uintptr_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<std::uintptr_t>(0x70 + (key - SDLK_F1));
    switch (key) {
    case SDLK_ESCAPE:
        return VkEscape;
    case SDLK_RETURN:
        return 0x0D;
    case SDLK_SPACE:
        return 0x20;
    case SDLK_TAB:
        return 0x09;
    case SDLK_BACKSPACE:
        return 0x08;
    case SDLK_LEFT:
        return 0x25;
    case SDLK_UP:
        return 0x26;
    case SDLK_RIGHT:
        return 0x27;
    case SDLK_DOWN:
        return 0x28;
    default:
        return 0;
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    const SysWindow handle = FindHandle(event.windowID);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        Post(handle, WmClose, 0, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        PostSize(handle, event.data1, event.data2);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        PostSize(handle, 0, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (const SdlWindow* window = FindWindow(handle)) {
            int width = 0;
            int height = 0;
            SDL_GL_GetDrawableSize(window->Window, &width, &height);
            PostSize(handle, width, height);
        }
        break;
    default:
        break;
    }
}

void TranslateEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const std::uintptr_t key = VirtualKey(event.key.keysym.sym))
            Post(FindHandle(event.key.windowID), event.type == SDL_KEYDOWN ? WmKeyDown : WmKeyUp, key, 0);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            Post(FindHandle(event.button.windowID), WmLButtonDown, 1, PackWords(event.button.x, event.button.y));
        break;
    default:
        if (event.type == TimerEventType && TimerEventType != 0)
            Post(static_cast<SysWindow>(reinterpret_cast<std::uintptr_t>(event.user.data1)), WmTimer,
                 static_cast<std::uintptr_t>(event.user.code), 0);
        break;
    }
}

// Runs on SDL's timer thread: only hands an event to the main thread's queue.
Uint32 TimerCallback(Uint32 interval, void* param)
{
    const auto* window = static_cast<const std::pair<SysWindow, std::uintptr_t>*>(param);
    SDL_Event event{};
    event.type = TimerEventType;
    event.user.code = static_cast<Sint32>(window->second);
    event.user.data1 = reinterpret_cast<void*>(window->first);
    SDL_PushEvent(&event);
    return interval;
}

void SetGLAttributes(const SysPixelFormat& format)
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.Flags & PfdDoubleBuffer) != 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.AlphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.DepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.StencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool DialogsWanted()
{
    const char* where = std::getenv("MORAVEL_MESSAGES");
    return where == nullptr || std::strcmp(where, "stderr") != 0;
}

}  // namespace

// The switch itself happens when the full-screen window appears; here we only make sure the
// display really offers the mode. SDL would otherwise pick a bigger mode and clip the picture.
int SysChangeDisplaySettings(const SysDisplayMode* mode, std::uint32_t)
{
    if (mode == nullptr) {
        RestoreDisplayMode();
        return DispChangeSuccessful;
    }
    if (!EnsureVideo())
        return DispChangeFailed;
    if (Presentation.Screen != SysScreen::SwitchMode)
        return DispChangeSuccessful;  // the player keeps the desktop's mode: there is nothing to switch
    SDL_DisplayMode wanted{};
    wanted.w = static_cast<int>(mode->PelsWidth);
    wanted.h = static_cast<int>(mode->PelsHeight);
    SDL_DisplayMode closest{};
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr || closest.w != wanted.w || closest.h != wanted.h) {
        std::fprintf(stderr,
                     "moravel: this display offers no %d x %d mode; \"moravel --desktop\" plays full screen at "
                     "the desktop's own resolution\n",
                     wanted.w, wanted.h);
        return DispChangeFailed;
    }
    FullScreenMode = closest;
    FullScreenGranted = true;
    return DispChangeSuccessful;
}

namespace {

// Leaves full screen wherever it was entered: SDL puts the desktop's mode back.
void RestoreDisplayMode()
{
    for (auto& [handle, window] : Windows)
        if (window.FullScreen)
            SDL_SetWindowFullscreen(window.Window, 0);
    FullScreenGranted = false;
}

}  // namespace

int SysShowCursor(bool show)
{
    // In a player's window the pointer stays: it is the desktop's, not the demo's.
    if (Presentation.Screen == SysScreen::Window)
        return CursorCount;
    CursorCount += show ? 1 : -1;
    if (VideoReady)
        SDL_ShowCursor(CursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return CursorCount;
}

// The player's window, which never switches the mode: a framed one of the picture's size, or one
// covering the desktop at its own resolution.
static SDL_Window* CreatePlayerWindow(const char* title)
{
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        desktop.w = desktop.h = 0;
    Picture = PictureSize(Presentation, desktop.w, desktop.h);
    if (Presentation.Screen == SysScreen::Desktop)
        return SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, desktop.w, desktop.h,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN_DESKTOP);
    return SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, Picture.Width, Picture.Height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

SysWindow SysCreateWindow(std::uint32_t, const char* className, const char* title, std::uint32_t style, int x, int y,
                          int width, int height, SysInstance)
{
    if (ClassTableProc(className) == nullptr || !EnsureVideo())
        return 0;
    SysPixelFormat visual;
    visual.Flags = PfdDoubleBuffer | PfdSupportOpenGL | PfdDrawToWindow;
    visual.DepthBits = 16;
    SetGLAttributes(visual);

    const bool player = Presentation.Screen != SysScreen::SwitchMode;
    const bool fullScreen =
        player ? Presentation.Screen == SysScreen::Desktop : (style & WsPopup) != 0 && FullScreenGranted;
    SDL_Window* sdlWindow = player ? CreatePlayerWindow(title) : nullptr;
    if (!player) {
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
        flags |= fullScreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
        sdlWindow = SDL_CreateWindow(title, x, y, width, height, flags);
    }
    if (sdlWindow == nullptr) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 0;
    }
    if (fullScreen && !player)
        SDL_SetWindowDisplayMode(sdlWindow, &FullScreenMode);
    WatchXDisplay(sdlWindow);

    const SysWindow handle = NextWindow++;
    SdlWindow& window = Windows[handle];
    window.Window = sdlWindow;
    window.FullScreen = fullScreen;
    window.OuterWidth = width;
    window.OuterHeight = height;
    window.LastWidth = width;
    window.LastHeight = height;
    WindowTableAdd(handle, className);
    SendToWindow(handle, WmCreate, 0, 0);
    SendToWindow(handle, WmSize, 0, PackWords(width, height));
    return handle;
}

bool SysDestroyWindow(SysWindow handle)
{
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr)
        return false;
    SendToWindow(handle, WmDestroy, 0, 0);
    if (window->Timer != 0)
        SDL_RemoveTimer(window->Timer);
    SDL_DestroyWindow(window->Window);
    WindowTableRemove(handle);
    Windows.erase(handle);
    // Timer events already queued for the window must not outlive it.
    if (TimerEventType != 0)
        SDL_FlushEvent(TimerEventType);
    return true;
}

bool SysShowWindow(SysWindow handle, int)
{
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr)
        return false;
    SDL_ShowWindow(window->Window);
    if (!window->FullScreen && Presentation.Screen == SysScreen::SwitchMode) {
        // The production gives the outer size; where a window manager adds a frame, the client
        // area shrinks by it, as it would on the production's own system. The manager announces
        // its frame only after the window is mapped: give it a moment (a bare X server has no
        // frame, and then the wait is all there is).
        constexpr Uint32 FrameWaitMs = 250;
        int top = 0, left = 0, bottom = 0, right = 0;
        const Uint32 start = SDL_GetTicks();
        bool known = false;
        while (SDL_GetWindowBordersSize(window->Window, &top, &left, &bottom, &right) == 0) {
            known = top + left + bottom + right > 0;
            if (known || SDL_GetTicks() - start >= FrameWaitMs)
                break;
            SDL_PumpEvents();
            SDL_Delay(2);
        }
        if (known) {
            SDL_SetWindowSize(window->Window, window->OuterWidth - left - right, window->OuterHeight - top - bottom);
            // On the production's own system the client size reaches the window procedure while
            // the window is created, before there is a context. Reported now, it would replace
            // the start-up viewport: count it as reported.
            SDL_GetWindowSize(window->Window, &window->LastWidth, &window->LastHeight);
        }
    }
    return true;
}

bool SysSetForegroundWindow(SysWindow handle)
{
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr)
        return false;
    SDL_RaiseWindow(window->Window);
    return true;
}

SysWindow SysSetFocus(SysWindow handle)
{
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr)
        return 0;
    SDL_SetWindowInputFocus(window->Window);
    return handle;
}

bool SysSetWindowText(SysWindow handle, const char* text)
{
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr)
        return false;
    SDL_SetWindowTitle(window->Window, text);
    return true;
}

bool SysSetTimer(SysWindow handle, std::uintptr_t timerId, std::uint32_t periodMs)
{
    SdlWindow* window = FindWindow(handle);
    if (window == nullptr)
        return false;
    static std::map<SysWindow, std::pair<SysWindow, std::uintptr_t>> timerParams;
    timerParams[handle] = {handle, timerId};
    if (window->Timer != 0)
        SDL_RemoveTimer(window->Timer);
    window->Timer = SDL_AddTimer(periodMs, TimerCallback, &timerParams[handle]);
    return window->Timer != 0;
}

// A window's device context is the window's own number.
SysDeviceContext SysGetDC(SysWindow handle)
{
    return FindWindow(handle) != nullptr ? handle : 0;
}

bool SysReleaseDC(SysWindow handle, SysDeviceContext dc)
{
    return dc == handle && FindWindow(handle) != nullptr;
}

int SysChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat& format)
{
    if (FindWindow(dc) == nullptr || (format.Flags & PfdSupportOpenGL) == 0 || format.PixelType != PfdTypeRgba)
        return 0;
    return 1;
}

bool SysSetPixelFormat(SysDeviceContext dc, int formatIndex, const SysPixelFormat& format)
{
    if (FindWindow(dc) == nullptr || formatIndex != 1)
        return false;
    SetGLAttributes(format);
    return true;
}

SysGLContext SysCreateContext(SysDeviceContext dc)
{
    SdlWindow* window = FindWindow(dc);
    if (window == nullptr)
        return 0;
    SDL_GLContext context = SDL_GL_CreateContext(window->Window);
    if (context == nullptr) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 0;
    }
    const SysGLContext handle = NextContext++;
    Contexts[handle] = context;
    return handle;
}

// The production sets no swap interval and never depends on one: none unless the player asks for
// presenting in step with the display. A refusal of none passes (Xvfb cannot set it); a refusal of
// vsync is said once.
static void SetSwapInterval()
{
    if (SDL_GL_SetSwapInterval(Presentation.VSync ? 1 : 0) == 0 || !Presentation.VSync)
        return;
    static bool said = false;
    if (!said)
        std::fprintf(stderr, "moravel: this display cannot present in step (%s); frames go out as they are drawn\n",
                     SDL_GetError());
    said = true;
}

bool SysMakeCurrent(SysDeviceContext dc, SysGLContext context)
{
    SdlWindow* window = FindWindow(dc);
    if (context == 0)
        return SDL_GL_MakeCurrent(window != nullptr ? window->Window : nullptr, nullptr) == 0;
    const auto found = Contexts.find(context);
    if (window == nullptr || found == Contexts.end())
        return false;
    if (SDL_GL_MakeCurrent(window->Window, found->second) != 0)
        return false;
    SetSwapInterval();
    // The player's picture: made with the context, drawn into from here on.
    if (Presentation.Screen != SysScreen::SwitchMode && !PictureBufferInUse() && !CreatePictureBuffer(Picture))
        return false;
    return true;
}

bool SysDeleteContext(SysGLContext context)
{
    const auto found = Contexts.find(context);
    if (found == Contexts.end())
        return false;
    SDL_GL_DeleteContext(found->second);
    Contexts.erase(found);
    ForgetPictureBuffer();
    return true;
}

// The sync trace for the benchmarks, off unless MORAVEL_SYNC_TRACE names a file: per presented frame,
// the monotonic time in microseconds, then the demo time and the music position the production's
// reporter gives (-1 and -1.0 while none is registered).
static SysFrameReport (*FrameReporter)() = nullptr;

void SysSetFrameReporter(SysFrameReport (*reporter)())
{
    FrameReporter = reporter;
}

static void TraceSwap()
{
    static bool checked = false;
    static std::FILE* trace = nullptr;
    if (!checked) {
        checked = true;
        const char* file = std::getenv("MORAVEL_SYNC_TRACE");
        if (file != nullptr && *file != '\0')
            trace = std::fopen(file, "w");
    }
    if (trace == nullptr)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t us =
        static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
    const SysFrameReport report = FrameReporter != nullptr ? FrameReporter() : SysFrameReport{};
    std::fprintf(trace, "%llu %d %.3f\n", static_cast<unsigned long long>(us), report.DemoTimeMs,
                 report.MusicPositionMs);
}

bool SysSwapBuffers(SysDeviceContext dc)
{
    SdlWindow* window = FindWindow(dc);
    if (window == nullptr || DisplayFailed)
        return false;
    if (PictureBufferInUse()) {
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window->Window, &width, &height);
        ShowPictureInWindow(Picture, width, height);
    }
    SDL_GL_SwapWindow(window->Window);
    ResumePictureBuffer();
    TraceSwap();
    return true;
}

double SysRenderScale()
{
    return Presentation.Screen == SysScreen::SwitchMode ? 1.0 : Picture.Scale;
}

bool SysSetPresentation(const SysPresentation& presentation)
{
    Presentation = presentation;
    return true;
}

bool SysCheckDisplay()
{
    return EnsureVideo();
}

// Joins the watchdog, then ends SDL's subsystems: its timer thread ends, and closing the display
// connection ends the GL driver's screen with its renderer threads. Not SDL_Quit: that also closes
// SDL's D-Bus connections, and libdbus then strands buffers it never frees (SDL 2.26). Nothing is
// unloaded on the way (see posix_libraries.h). What still runs after that is named.
void SysShutdown()
{
    StopWatchdog();
    if (VideoReady) {
        PosixKeepLibrariesLoaded();
        SDL_QuitSubSystem(SDL_WasInit(0));
        VideoReady = false;
    }
    PosixReportThreadsLeft();
}

bool SysChooseDataFolder(std::string& failure)
{
    return ChooseReleaseDataFolder(failure);
}

// Asks the window to close once, when a signal came or the display failed.
static void PostCloseWhenDue()
{
    if (CloseForSignalPosted || (PendingSignal == 0 && !DisplayFailed) || Windows.empty())
        return;
    CloseForSignalPosted = true;
    Post(Windows.begin()->first, WmClose, 0, 0);
}

bool SysPeekMessage(SysMessage& message)
{
    PostCloseWhenDue();
    if (MessageQueue().empty() && VideoReady && !DisplayFailed) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            TranslateEvent(event);
    }
    return TakeQueuedMessage(message);
}

std::uint32_t SysGetTickCount()
{
    return PosixTickCount();
}

void SysSleep(std::uint32_t ms)
{
    PosixSleep(ms);
}

// Always echoed to stderr, so a run without anyone watching still leaves the message behind.
int SysMessageBox(const char* text, const char* caption, std::uint32_t type)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (DialogsWanted()) {
        const Uint32 kind = (type & MbIconError) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        // SDL draws its X11 dialog with the server's core fonts; without them (or without any
        // display) there is no dialog, and the user must at least hear why.
        if (SDL_ShowSimpleMessageBox(kind, caption, text, nullptr) != 0) {
            std::fprintf(stderr, "moravel: cannot show the message as a dialog: %s\n", SDL_GetError());
            std::fflush(stderr);
        }
    }
    return 1;
}

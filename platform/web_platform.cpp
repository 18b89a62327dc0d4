// Web backend: the window is the page's canvas, the GL context a WebGL 2 context on it, the clock
// performance.now() (or the virtual clock), message boxes a dialog on the page. The production's
// frame loop never returns; built with Asyncify, each SwapBuffers yields to the browser until its
// next display frame, which shows the frame and delivers the page's key presses and clicks into the
// message queue. A frame therefore never outruns the display, as with --vsync.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/data_folder.h"
#include "platform/web.h"
#include "platform/window_classes.h"

namespace {

struct Canvas {
    SysWindow Window = 0;
    int Width = 0;  // drawing-buffer pixels
    int Height = 0;
    int DepthBits = 0;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE Context = 0;
};

Canvas Page;
SysWindow NextWindow = 1;
double Scale = 1.0;
bool FillPage = false;
bool InputWatched = false;
int CursorCount = 0;

bool VirtualClock = false;
std::uint64_t FpsNumerator = 30;
std::uint64_t FpsDenominator = 1;
std::uint64_t VirtualFrames = 0;

bool TimerSet = false;
std::uintptr_t TimerId = 0;
std::uint32_t TimerPeriod = 0;
std::uint32_t TimerDue = 0;

std::function<void()> SwapHook;
SysFrameReport (*FrameReporter)() = nullptr;
std::map<std::string, WebProgram> Programs;

struct FinishedProgram {
    int ExitCode = -1;
    std::string Errors;
};
std::map<SysProcess, FinishedProgram> Finished;
SysProcess NextProcess = 1;

const char* const CanvasTarget = "#canvas";

bool IsPageWindow(SysWindow window)
{
    return window != 0 && window == Page.Window;
}

std::intptr_t SizeParam(int width, int height)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(height) << 16) |
                                      (static_cast<std::uint32_t>(width) & 0xFFFF));
}

void Post(std::uint32_t message, std::uintptr_t wParam)
{
    if (Page.Window != 0)
        MessageQueue().push_back(SysMessage{Page.Window, message, wParam, 0});
}

// The page's key codes are the system's virtual keys for Escape, Space, letters and digits.
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*)
{
    const std::uintptr_t key = event->keyCode;
    if (key == 0 || key >= 256)
        return EM_FALSE;
    Post(eventType == EMSCRIPTEN_EVENT_KEYDOWN ? WmKeyDown : WmKeyUp, key);
    // Space would scroll the page and Escape leave full screen: the demo takes them.
    return key == VkEscape || key == 32 ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent* event, void*)
{
    if (event->button != 0)
        return EM_FALSE;
    Post(WmLButtonDown, 0);
    return EM_TRUE;
}

void WatchInput()
{
    if (InputWatched)
        return;
    InputWatched = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, OnKey);
    emscripten_set_mousedown_callback(CanvasTarget, nullptr, EM_TRUE, OnMouseDown);
}

// The page's JavaScript, which the formatter would take for C++.
// clang-format off
// The page's size in device pixels, for a picture that fills it.
EM_JS(double, PageFitScale, (), {
    const ratio = window.devicePixelRatio || 1;
    return Math.min(window.innerWidth / 640, window.innerHeight / 480) * ratio;
});

EM_JS(void, ShowCanvas, (int fillPage), {
    const canvas = Module['canvas'];
    canvas.classList.toggle('fill-page', fillPage !== 0);
    canvas.style.visibility = 'visible';
});

EM_JS(void, SetPageTitle, (const char* text), { document.title = UTF8ToString(text); });

EM_JS(void, ShowDialog, (const char* caption, const char* text), {
    if (Module['showDialog'])
        Module['showDialog'](UTF8ToString(caption), UTF8ToString(text));
});

EM_JS(int, DialogOpen, (), { return Module['dialogOpen'] && Module['dialogOpen']() ? 1 : 0; });

// The browser's next frame: presenting in step with the display keeps the drawing from running ahead
// of the compositor, which otherwise queues seconds of frames and then stalls to catch up.
EM_ASYNC_JS(void, WaitForNextPageFrame, (), { await new Promise((resolve) => requestAnimationFrame(resolve)); });

EM_JS(void, ReportFrameToPage, (double tick, int demoMs, double musicMs), {
    if (Module['onFrame'])
        Module['onFrame'](tick, demoMs, musicMs);
});
// clang-format on

void PostTimerIfDue()
{
    if (!TimerSet || Page.Window == 0)
        return;
    if (static_cast<std::int32_t>(SysGetTickCount() - TimerDue) < 0)
        return;
    TimerDue += TimerPeriod;
    MessageQueue().push_back(SysMessage{Page.Window, WmTimer, TimerId, 0});
}

}  // namespace

// A page has no display modes: each is granted, and the picture is scaled to the page instead.
int SysChangeDisplaySettings(const SysDisplayMode*, std::uint32_t)
{
    return DispChangeSuccessful;
}

int SysShowCursor(bool show)
{
    CursorCount += show ? 1 : -1;
    return CursorCount;
}

// One window: the canvas, sized to the picture times the render scale.
SysWindow SysCreateWindow(std::uint32_t, const char* className, const char*, std::uint32_t, int, int, int width,
                          int height, SysInstance)
{
    if (ClassTableProc(className) == nullptr || width <= 0 || height <= 0 || Page.Window != 0)
        return 0;
    if (FillPage)
        Scale = PageFitScale();
    Page = Canvas{};
    Page.Window = NextWindow++;
    Page.Width = static_cast<int>(width * Scale + 0.5);
    Page.Height = static_cast<int>(height * Scale + 0.5);
    emscripten_set_canvas_element_size(CanvasTarget, Page.Width, Page.Height);
    ShowCanvas(FillPage ? 1 : 0);
    WatchInput();
    WindowTableAdd(Page.Window, className);
    SendToWindow(Page.Window, WmCreate, 0, 0);
    SendToWindow(Page.Window, WmSize, 0, SizeParam(Page.Width, Page.Height));
    return Page.Window;
}

bool SysDestroyWindow(SysWindow window)
{
    if (!IsPageWindow(window))
        return false;
    SendToWindow(window, WmDestroy, 0, 0);
    if (Page.Context != 0)
        emscripten_webgl_destroy_context(Page.Context);
    WindowTableRemove(window);
    Page = Canvas{};
    TimerSet = false;
    return true;
}

bool SysShowWindow(SysWindow window, int)
{
    return IsPageWindow(window);
}

bool SysSetForegroundWindow(SysWindow window)
{
    return IsPageWindow(window);
}

SysWindow SysSetFocus(SysWindow window)
{
    return IsPageWindow(window) ? window : 0;
}

// The caption (the frame rate among it) is the page's title.
bool SysSetWindowText(SysWindow window, const char* text)
{
    if (!IsPageWindow(window))
        return false;
    SetPageTitle(text != nullptr ? text : "");
    return true;
}

bool SysSetTimer(SysWindow window, std::uintptr_t timerId, std::uint32_t periodMs)
{
    if (!IsPageWindow(window))
        return false;
    TimerSet = true;
    TimerId = timerId;
    TimerPeriod = periodMs;
    TimerDue = SysGetTickCount() + periodMs;
    return true;
}

SysDeviceContext SysGetDC(SysWindow window)
{
    return IsPageWindow(window) ? window : 0;
}

bool SysReleaseDC(SysWindow window, SysDeviceContext dc)
{
    return dc == window && IsPageWindow(window);
}

int SysChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat& format)
{
    return IsPageWindow(dc) && (format.Flags & PfdSupportOpenGL) != 0 ? 1 : 0;
}

bool SysSetPixelFormat(SysDeviceContext dc, int formatIndex, const SysPixelFormat& format)
{
    if (!IsPageWindow(dc) || formatIndex != 1)
        return false;
    Page.DepthBits = format.DepthBits;
    return true;
}

// WebGL 2 without antialiasing and without alpha, as the pixel format the production asks for.
SysGLContext SysCreateContext(SysDeviceContext dc)
{
    if (!IsPageWindow(dc) || Page.Context != 0)
        return 0;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = Page.DepthBits > 0 ? EM_TRUE : EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    // A frame that draws nothing shows the one before, as the back buffer of a desktop swap does;
    // WebGL would clear it after each presentation otherwise.
    attributes.preserveDrawingBuffer = EM_TRUE;
    Page.Context = emscripten_webgl_create_context(CanvasTarget, &attributes);
    if (Page.Context <= 0) {
        std::fprintf(stderr, "moravel: this browser gives no WebGL 2 context\n");
        Page.Context = 0;
        return 0;
    }
    return static_cast<SysGLContext>(Page.Context);
}

bool SysMakeCurrent(SysDeviceContext dc, SysGLContext context)
{
    if (context == 0) {
        emscripten_webgl_make_context_current(0);
        return true;
    }
    if (!IsPageWindow(dc) || context != static_cast<SysGLContext>(Page.Context))
        return false;
    return emscripten_webgl_make_context_current(Page.Context) == EMSCRIPTEN_RESULT_SUCCESS;
}

bool SysDeleteContext(SysGLContext context)
{
    if (context == 0 || context != static_cast<SysGLContext>(Page.Context))
        return false;
    emscripten_webgl_destroy_context(Page.Context);
    Page.Context = 0;
    return true;
}

// The frame is shown when the browser gets control back: it does here, once per frame, at the
// display's pace.
bool SysSwapBuffers(SysDeviceContext dc)
{
    if (!IsPageWindow(dc))
        return false;
    if (SwapHook)
        SwapHook();
    if (FrameReporter != nullptr) {
        const SysFrameReport report = FrameReporter();
        ReportFrameToPage(emscripten_get_now(), report.DemoTimeMs, report.MusicPositionMs);
    }
    // Under the virtual clock no frame waits for the display: the test's runs go as fast as they draw.
    if (VirtualClock) {
        ++VirtualFrames;
        emscripten_sleep(0);
    } else {
        WaitForNextPageFrame();
    }
    return true;
}

double SysRenderScale()
{
    return Scale;
}

// As written (640 x 480 in the page), or filling the page as --desktop fills the screen.
bool SysSetPresentation(const SysPresentation& presentation)
{
    if (presentation.Screen == SysScreen::Window || presentation.VSync)
        return false;
    FillPage = presentation.Screen == SysScreen::Desktop;
    return true;
}

void SysSetFrameReporter(SysFrameReport (*reporter)())
{
    FrameReporter = reporter;
}

bool SysPeekMessage(SysMessage& message)
{
    PostTimerIfDue();
    return TakeQueuedMessage(message);
}

std::uint32_t SysGetTickCount()
{
    if (!VirtualClock)
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
    return static_cast<std::uint32_t>(VirtualFrames * 1000u * FpsDenominator / FpsNumerator);
}

// Sleeping gives the browser the time; under the virtual clock no time passes.
void SysSleep(std::uint32_t ms)
{
    emscripten_sleep(VirtualClock ? 0 : ms);
}

// The page's dialog, waited for as the system's modal box is: the browser runs meanwhile.
int SysMessageBox(const char* text, const char* caption, std::uint32_t)
{
    const char* shownCaption = caption != nullptr ? caption : "";
    const char* shownText = text != nullptr ? text : "";
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    ShowDialog(shownCaption, shownText);
    while (DialogOpen() != 0)
        emscripten_sleep(20);
    return 1;
}

bool SysCheckDisplay()
{
    return true;
}

// The page runs on one thread, and the browser keeps the canvas after the run.
void SysShutdown() {}

// The programs the page runs itself; any other is not there.
SysProcess SysStartProgram(const char* commandLine, int)
{
    std::vector<std::string> words;
    std::string word;
    for (const char* c = commandLine != nullptr ? commandLine : ""; *c != '\0'; ++c) {
        if (*c == ' ') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += *c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    if (words.empty())
        return 0;
    const auto found = Programs.find(words.front());
    if (found == Programs.end())
        return 0;
    FinishedProgram result;
    result.ExitCode = found->second({words.begin() + 1, words.end()}, result.Errors);
    const SysProcess process = NextProcess++;
    Finished[process] = result;
    return process;
}

// A program the page ran has finished by the time it was started.
bool SysWaitForProgram(SysProcess process, std::uint32_t)
{
    return Finished.count(process) != 0;
}

SysProgramOutcome SysProgramResult(SysProcess process)
{
    SysProgramOutcome outcome;
    const auto found = Finished.find(process);
    if (found == Finished.end())
        return outcome;
    outcome.Ended = true;
    outcome.ExitCode = found->second.ExitCode;
    outcome.Errors = found->second.Errors;
    Finished.erase(found);
    return outcome;
}

bool SysChooseDataFolder(std::string& failure)
{
    struct stat folder {};
    if (stat(WebDataFolder, &folder) != 0 || !S_ISDIR(folder.st_mode)) {
        failure = std::string("the page has no folder ") + WebDataFolder + " with the archive in it";
        return false;
    }
    // The programs run in the data folder, as a started process would.
    if (chdir(WebDataFolder) != 0) {
        failure = std::string("cannot enter ") + WebDataFolder;
        return false;
    }
    SetDataFolder(WebDataFolder);
    return true;
}

// The page's memory is the module's own; there is nothing to ready ahead.
SysHeapBlock SysReserveHeap(std::size_t)
{
    return {};
}

void SysWarmUpHeap(SysHeapBlock) {}

void WebUseVirtualClock(std::uint64_t fpsNumerator, std::uint64_t fpsDenominator)
{
    VirtualClock = fpsNumerator != 0 && fpsDenominator != 0;
    FpsNumerator = fpsNumerator;
    FpsDenominator = fpsDenominator;
    VirtualFrames = 0;
}

void WebSetSwapHook(std::function<void()> hook)
{
    SwapHook = std::move(hook);
}

void WebPostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (Page.Window != 0)
        MessageQueue().push_back(SysMessage{Page.Window, message, wParam, lParam});
}

void WebRegisterProgram(const std::string& name, WebProgram program)
{
    Programs[name] = program;
}

// The page's close button.
extern "C" EMSCRIPTEN_KEEPALIVE void MoravelWebClose()
{
    Post(WmClose, 0);
}

// Fake backend: no window system and no GL; every call is recorded in order as "Name args", and
// any operation can be made to fail by its recorded name.
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "platform/fake.h"
#include "platform/window_classes.h"

namespace {

std::vector<std::string> Calls;
std::set<std::string> FailingSteps;
int DisplayChangeResult = DispChangeSuccessful;
std::uint32_t Ticks = 0;
std::uint32_t TicksPerSwap = 0;
int Swaps = 0;
int CursorCount = 0;
std::function<void(int)> SwapHook;
std::function<void(const std::string&)> MessageBoxHook;
SysProgramOutcome ProgramOutcome{true, 0, ""};
std::set<SysWindow> Windows;
SysWindow NextWindow = 0x100;
std::set<SysGLContext> Contexts;
SysGLContext NextContext = 0x200;

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

void Record(const std::string& call)
{
    Calls.push_back(call);
}

bool Fails(const std::string& name)
{
    return FailingSteps.count(name) != 0;
}

bool WindowExists(SysWindow window)
{
    return Windows.count(window) != 0;
}

}  // namespace

void FakeReset()
{
    Calls.clear();
    FailingSteps.clear();
    DisplayChangeResult = DispChangeSuccessful;
    Ticks = 0;
    TicksPerSwap = 0;
    Swaps = 0;
    CursorCount = 0;
    SwapHook = nullptr;
    MessageBoxHook = nullptr;
    ProgramOutcome = SysProgramOutcome{true, 0, ""};
    Windows.clear();
    Contexts.clear();
    ClassTableClear();
}

const std::vector<std::string>& FakeCalls()
{
    return Calls;
}

void FakeRecordCall(const std::string& call)
{
    Record(call);
}

void FakeFailStep(const std::string& name)
{
    FailingSteps.insert(name);
}

void FakeSetDisplayChangeResult(int result)
{
    DisplayChangeResult = result;
}

void FakeSetTickCount(std::uint32_t ticks)
{
    Ticks = ticks;
}

void FakeSetTicksPerSwap(std::uint32_t ms)
{
    TicksPerSwap = ms;
}

void FakePostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const SysWindow window = Windows.empty() ? 0 : *Windows.begin();
    MessageQueue().push_back(SysMessage{window, message, wParam, lParam});
}

void FakeSetSwapHook(std::function<void(int swapNumber)> hook)
{
    SwapHook = std::move(hook);
}

int FakeSwapCount()
{
    return Swaps;
}

int SysChangeDisplaySettings(const SysDisplayMode* mode, std::uint32_t flags)
{
    if (mode == nullptr) {
        Record("ChangeDisplaySettings restore");
        return DispChangeSuccessful;
    }
    Record("ChangeDisplaySettings " + std::to_string(mode->PelsWidth) + "x" + std::to_string(mode->PelsHeight) + "x" +
           std::to_string(mode->BitsPerPel) + " size=" + std::to_string(mode->Size) + " fields=" + Hex(mode->Fields) +
           " flags=" + std::to_string(flags));
    return DisplayChangeResult;
}

int SysShowCursor(bool show)
{
    Record(std::string("ShowCursor ") + (show ? "1" : "0"));
    CursorCount += show ? 1 : -1;
    return CursorCount;
}

std::uint16_t SysRegisterClass(const SysWindowClass& windowClass)
{
    Record("RegisterClass " + std::string(windowClass.ClassName != nullptr ? windowClass.ClassName : "") +
           " style=" + Hex(windowClass.Style) + " cursor=" + std::to_string(windowClass.Cursor));
    return Fails("RegisterClass") ? 0 : ClassTableRegister(windowClass);
}

bool SysUnregisterClass(const char* className, SysInstance)
{
    Record("UnregisterClass " + std::string(className != nullptr ? className : ""));
    return !Fails("UnregisterClass") && ClassTableUnregister(className);
}

SysWindow SysCreateWindow(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style, int x,
                          int y, int width, int height, SysInstance)
{
    Record("CreateWindow exstyle=" + Hex(exStyle) + " class=" + className + " title=" + title + " style=" + Hex(style) +
           " " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
           std::to_string(height));
    if (Fails("CreateWindow") || ClassTableProc(className) == nullptr)
        return 0;
    const SysWindow window = NextWindow++;
    Windows.insert(window);
    WindowTableAdd(window, className);
    SendToWindow(window, WmCreate, 0, 0);
    SendToWindow(window, WmSize, 0, static_cast<std::intptr_t>((height << 16) | (width & 0xFFFF)));
    return window;
}

bool SysDestroyWindow(SysWindow window)
{
    Record("DestroyWindow");
    if (Fails("DestroyWindow") || !WindowExists(window))
        return false;
    SendToWindow(window, WmDestroy, 0, 0);
    WindowTableRemove(window);
    Windows.erase(window);
    return true;
}

bool SysShowWindow(SysWindow window, int showCommand)
{
    Record("ShowWindow " + std::to_string(showCommand));
    return WindowExists(window);
}

bool SysSetForegroundWindow(SysWindow window)
{
    Record("SetForegroundWindow");
    return WindowExists(window);
}

SysWindow SysSetFocus(SysWindow window)
{
    Record("SetFocus");
    return WindowExists(window) ? window : 0;
}

bool SysSetWindowText(SysWindow window, const char* text)
{
    Record("SetWindowText " + std::string(text));
    return WindowExists(window);
}

bool SysSetTimer(SysWindow window, std::uintptr_t timerId, std::uint32_t periodMs)
{
    Record("SetTimer " + std::to_string(timerId) + " " + std::to_string(periodMs));
    return !Fails("SetTimer") && WindowExists(window);
}

SysDeviceContext SysGetDC(SysWindow window)
{
    Record("GetDC");
    return Fails("GetDC") || !WindowExists(window) ? 0 : window + 0x1000;
}

bool SysReleaseDC(SysWindow window, SysDeviceContext dc)
{
    Record("ReleaseDC");
    return !Fails("ReleaseDC") && WindowExists(window) && dc == window + 0x1000;
}

int SysChoosePixelFormat(SysDeviceContext, const SysPixelFormat& format)
{
    Record("ChoosePixelFormat size=" + std::to_string(format.Size) + " version=" + std::to_string(format.Version) +
           " flags=" + Hex(format.Flags) + " type=" + std::to_string(format.PixelType) +
           " color=" + std::to_string(format.ColorBits) + " alpha=" + std::to_string(format.AlphaBits) +
           " accum=" + std::to_string(format.AccumBits) + " depth=" + std::to_string(format.DepthBits) +
           " stencil=" + std::to_string(format.StencilBits));
    return Fails("ChoosePixelFormat") ? 0 : 1;
}

bool SysSetPixelFormat(SysDeviceContext, int formatIndex, const SysPixelFormat&)
{
    Record("SetPixelFormat " + std::to_string(formatIndex));
    return !Fails("SetPixelFormat");
}

SysGLContext SysCreateContext(SysDeviceContext)
{
    Record("CreateContext");
    if (Fails("CreateContext"))
        return 0;
    Contexts.insert(NextContext);
    return NextContext++;
}

bool SysMakeCurrent(SysDeviceContext, SysGLContext context)
{
    Record(std::string("MakeCurrent ") + (context != 0 ? "context" : "none"));
    return !Fails(context != 0 ? "MakeCurrent" : "MakeCurrentNone");
}

bool SysDeleteContext(SysGLContext context)
{
    Record("DeleteContext");
    return !Fails("DeleteContext") && Contexts.erase(context) == 1;
}

bool SysSwapBuffers(SysDeviceContext)
{
    Record("SwapBuffers");
    ++Swaps;
    if (SwapHook)
        SwapHook(Swaps);
    Ticks += TicksPerSwap;
    return true;
}

double SysRenderScale()
{
    return 1;
}

// Only the production's own presentation.
bool SysSetPresentation(const SysPresentation& presentation)
{
    return presentation.Screen == SysScreen::SwitchMode && !presentation.VSync;
}

// Not recorded: it reports nothing to the system, and tests compare the exact sequence of calls.
void SysSetFrameReporter(SysFrameReport (*)()) {}

bool SysPeekMessage(SysMessage& message)
{
    return TakeQueuedMessage(message);
}

std::intptr_t SysDefWindowProc(SysWindow, std::uint32_t message, std::uintptr_t, std::intptr_t)
{
    Record("DefWindowProc " + Hex(message));
    return 0;
}

void SysPostQuitMessage(int exitCode)
{
    Record("PostQuitMessage " + std::to_string(exitCode));
    QueueQuit(exitCode);
}

std::uint32_t SysGetTickCount()
{
    return Ticks;
}

void SysSleep(std::uint32_t ms)
{
    Record("Sleep " + std::to_string(ms));
    Ticks += ms;
}

int SysMessageBox(const char* text, const char* caption, std::uint32_t)
{
    const std::string call = "MessageBox " + std::string(caption) + ": " + text;
    Record(call);
    if (MessageBoxHook)
        MessageBoxHook(call);
    return 1;
}

bool SysCheckDisplay()
{
    Record("CheckDisplay");
    return !Fails("CheckDisplay");
}

void SysShutdown()
{
    Record("Shutdown");
}

bool SysChooseDataFolder(std::string& failure)
{
    Record("ChooseDataFolder");
    if (!Fails("ChooseDataFolder"))
        return true;
    failure = "no folder can be written";
    return false;
}

SysProgramOutcome SysProgramResult(SysProcess)
{
    Record("ProgramResult");
    return ProgramOutcome;
}

void FakeSetProgramOutcome(bool ended, int exitCode, const std::string& errors)
{
    ProgramOutcome = SysProgramOutcome{ended, exitCode, errors};
}

void FakeSetMessageBoxHook(std::function<void(const std::string& call)> hook)
{
    MessageBoxHook = std::move(hook);
}

SysProcess SysStartProgram(const char* commandLine, int showCommand)
{
    Record("StartProgram " + std::string(commandLine) + " show=" + std::to_string(showCommand));
    return Fails("StartProgram") ? 0 : 4242;
}

bool SysWaitForProgram(SysProcess, std::uint32_t timeoutMs)
{
    Record("WaitForProgram " + std::to_string(timeoutMs));
    return !Fails("WaitForProgram");
}

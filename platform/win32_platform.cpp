// Windows backend: the window, GL context, messages, clock and message boxes, each operation one
// Win32, GDI or wgl call, as on the system the production was written for.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/platform.h"

namespace {

// The production's window procedures by class name. Its procedure is a plain function; the
// system wants one with its own calling convention, so every class gets NativeWindowProc, which
// passes each message on unchanged.
std::map<std::string, SysWindowProc> ClassProcs;

// The message PeekMessageA took last: dispatching it again keeps its time and cursor position.
MSG LastMessage{};

HWND AsWindow(SysWindow window)
{
    return reinterpret_cast<HWND>(window);
}

HDC AsDC(SysDeviceContext dc)
{
    return reinterpret_cast<HDC>(dc);
}

HGLRC AsContext(SysGLContext context)
{
    return reinterpret_cast<HGLRC>(context);
}

LRESULT CALLBACK NativeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    char className[256];
    if (GetClassNameA(window, className, sizeof className) > 0) {
        const auto found = ClassProcs.find(className);
        if (found != ClassProcs.end() && found->second != nullptr)
            return static_cast<LRESULT>(found->second(reinterpret_cast<SysWindow>(window), message,
                                                      static_cast<std::uintptr_t>(wParam),
                                                      static_cast<std::intptr_t>(lParam)));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

PIXELFORMATDESCRIPTOR ToDescriptor(const SysPixelFormat& format)
{
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = format.Size;
    descriptor.nVersion = format.Version;
    descriptor.dwFlags = format.Flags;
    descriptor.iPixelType = format.PixelType;
    descriptor.cColorBits = format.ColorBits;
    descriptor.cAlphaBits = format.AlphaBits;
    descriptor.cAccumBits = format.AccumBits;
    descriptor.cDepthBits = format.DepthBits;
    descriptor.cStencilBits = format.StencilBits;
    descriptor.cAuxBuffers = format.AuxBuffers;
    descriptor.iLayerType = format.LayerType;
    return descriptor;
}

bool DialogsWanted()
{
    const char* where = std::getenv("MORAVEL_MESSAGES");
    return where == nullptr || std::strcmp(where, "stderr") != 0;
}

}  // namespace

// The production tests for DISP_CHANGE_FAILED alone, but a display without the mode answers
// DISP_CHANGE_BADMODE, and a driver that cannot switch answers other negative codes: every one of
// them means the screen did not change, so each is reported as the failure the production knows.
int SysChangeDisplaySettings(const SysDisplayMode* mode, std::uint32_t flags)
{
    if (mode == nullptr)
        return ChangeDisplaySettingsA(nullptr, flags);
    DEVMODEA request;
    std::memset(&request, 0, sizeof request);
    request.dmSize = static_cast<WORD>(mode->Size != 0 ? mode->Size : sizeof request);
    request.dmPelsWidth = mode->PelsWidth;
    request.dmPelsHeight = mode->PelsHeight;
    request.dmBitsPerPel = mode->BitsPerPel;
    request.dmFields = mode->Fields;
    const LONG result = ChangeDisplaySettingsA(&request, flags);
    if (result < 0) {
        std::fprintf(stderr, "display: %ux%u at %u bits refused (%ld)\n", static_cast<unsigned>(mode->PelsWidth),
                     static_cast<unsigned>(mode->PelsHeight), static_cast<unsigned>(mode->BitsPerPel),
                     static_cast<long>(result));
        return DispChangeFailed;
    }
    return static_cast<int>(result);
}

int SysShowCursor(bool show)
{
    return ShowCursor(show ? TRUE : FALSE);
}

SysInstance SysGetModuleHandle()
{
    return reinterpret_cast<SysInstance>(GetModuleHandleA(nullptr));
}

SysCursor SysLoadCursor(std::uint32_t cursorId)
{
    return reinterpret_cast<SysCursor>(LoadCursorA(nullptr, MAKEINTRESOURCEA(cursorId)));
}

std::uint16_t SysRegisterClass(const SysWindowClass& windowClass)
{
    if (windowClass.ClassName == nullptr)
        return 0;
    WNDCLASSA native{};
    native.style = windowClass.Style;
    native.lpfnWndProc = NativeWindowProc;
    native.hInstance = reinterpret_cast<HINSTANCE>(windowClass.Instance);
    native.hCursor = reinterpret_cast<HCURSOR>(windowClass.Cursor);
    native.lpszClassName = windowClass.ClassName;
    const ATOM atom = RegisterClassA(&native);
    if (atom != 0)
        ClassProcs[windowClass.ClassName] = windowClass.WndProc;
    return atom;
}

bool SysUnregisterClass(const char* className, SysInstance instance)
{
    if (UnregisterClassA(className, reinterpret_cast<HINSTANCE>(instance)) == FALSE)
        return false;
    ClassProcs.erase(className);
    return true;
}

SysWindow SysCreateWindow(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style, int x,
                          int y, int width, int height, SysInstance instance)
{
    const HWND window = CreateWindowExA(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                                        reinterpret_cast<HINSTANCE>(instance), nullptr);
    return reinterpret_cast<SysWindow>(window);
}

bool SysDestroyWindow(SysWindow window)
{
    return DestroyWindow(AsWindow(window)) != FALSE;
}

// ShowWindow answers whether the window was visible before, not whether it worked.
bool SysShowWindow(SysWindow window, int showCommand)
{
    ShowWindow(AsWindow(window), showCommand);
    return IsWindow(AsWindow(window)) != FALSE;
}

bool SysSetForegroundWindow(SysWindow window)
{
    return SetForegroundWindow(AsWindow(window)) != FALSE;
}

SysWindow SysSetFocus(SysWindow window)
{
    return reinterpret_cast<SysWindow>(SetFocus(AsWindow(window)));
}

bool SysSetWindowText(SysWindow window, const char* text)
{
    return SetWindowTextA(AsWindow(window), text) != FALSE;
}

bool SysSetTimer(SysWindow window, std::uintptr_t timerId, std::uint32_t periodMs)
{
    return SetTimer(AsWindow(window), static_cast<UINT_PTR>(timerId), periodMs, nullptr) != 0;
}

SysDeviceContext SysGetDC(SysWindow window)
{
    return reinterpret_cast<SysDeviceContext>(GetDC(AsWindow(window)));
}

bool SysReleaseDC(SysWindow window, SysDeviceContext dc)
{
    return ReleaseDC(AsWindow(window), AsDC(dc)) != 0;
}

int SysChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat& format)
{
    const PIXELFORMATDESCRIPTOR descriptor = ToDescriptor(format);
    return ChoosePixelFormat(AsDC(dc), &descriptor);
}

bool SysSetPixelFormat(SysDeviceContext dc, int formatIndex, const SysPixelFormat& format)
{
    const PIXELFORMATDESCRIPTOR descriptor = ToDescriptor(format);
    return SetPixelFormat(AsDC(dc), formatIndex, &descriptor) != FALSE;
}

SysGLContext SysCreateContext(SysDeviceContext dc)
{
    return reinterpret_cast<SysGLContext>(wglCreateContext(AsDC(dc)));
}

bool SysMakeCurrent(SysDeviceContext dc, SysGLContext context)
{
    return wglMakeCurrent(AsDC(dc), AsContext(context)) != FALSE;
}

bool SysDeleteContext(SysGLContext context)
{
    return wglDeleteContext(AsContext(context)) != FALSE;
}

bool SysSwapBuffers(SysDeviceContext dc)
{
    return SwapBuffers(AsDC(dc)) != FALSE;
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

// The Windows release keeps no per-frame trace.
void SysSetFrameReporter(SysFrameReport (*)()) {}

bool SysPeekMessage(SysMessage& message)
{
    MSG native;
    if (PeekMessageA(&native, nullptr, 0, 0, PM_REMOVE) == FALSE)
        return false;
    LastMessage = native;
    message.Window = reinterpret_cast<SysWindow>(native.hwnd);
    message.Message = native.message;
    message.WParam = static_cast<std::uintptr_t>(native.wParam);
    message.LParam = static_cast<std::intptr_t>(native.lParam);
    return true;
}

namespace {

MSG ToNative(const SysMessage& message)
{
    if (reinterpret_cast<SysWindow>(LastMessage.hwnd) == message.Window && LastMessage.message == message.Message &&
        static_cast<std::uintptr_t>(LastMessage.wParam) == message.WParam &&
        static_cast<std::intptr_t>(LastMessage.lParam) == message.LParam)
        return LastMessage;
    MSG native{};
    native.hwnd = AsWindow(message.Window);
    native.message = message.Message;
    native.wParam = static_cast<WPARAM>(message.WParam);
    native.lParam = static_cast<LPARAM>(message.LParam);
    native.time = GetTickCount();
    return native;
}

}  // namespace

bool SysTranslateMessage(const SysMessage& message)
{
    const MSG native = ToNative(message);
    return TranslateMessage(&native) != FALSE;
}

std::intptr_t SysDispatchMessage(const SysMessage& message)
{
    const MSG native = ToNative(message);
    return static_cast<std::intptr_t>(DispatchMessageA(&native));
}

std::intptr_t SysDefWindowProc(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return static_cast<std::intptr_t>(
        DefWindowProcA(AsWindow(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
}

void SysPostQuitMessage(int exitCode)
{
    PostQuitMessage(exitCode);
}

std::uint32_t SysGetTickCount()
{
    return GetTickCount();
}

void SysSleep(std::uint32_t ms)
{
    Sleep(ms);
}

// Echoed to stderr too: where the program was started from a console, or under a test, the
// message stays behind after the box is gone.
int SysMessageBox(const char* text, const char* caption, std::uint32_t type)
{
    std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "", text != nullptr ? text : "");
    std::fflush(stderr);
    if (!DialogsWanted())
        return IDOK;
    return MessageBoxA(nullptr, text, caption, type);
}

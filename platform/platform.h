// Non-portable operations: the window, GL context, message, clock, file and process calls the
// production makes, one operation per place that can fail. Each backend defines all of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Handles are opaque numbers; 0 means "none", as on the system the production was written for.
using SysWindow = std::uintptr_t;
using SysDeviceContext = std::uintptr_t;
using SysGLContext = std::uintptr_t;
using SysInstance = std::uintptr_t;
using SysCursor = std::uintptr_t;
using SysProcess = std::intptr_t;

using SysWindowProc = std::intptr_t (*)(SysWindow window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam);

// Window messages the production handles, with their system values.
constexpr std::uint32_t WmCreate = 0x0001;
constexpr std::uint32_t WmDestroy = 0x0002;
constexpr std::uint32_t WmSize = 0x0005;
constexpr std::uint32_t WmClose = 0x0010;
constexpr std::uint32_t WmQuit = 0x0012;
constexpr std::uint32_t WmKeyDown = 0x0100;
constexpr std::uint32_t WmKeyUp = 0x0101;
constexpr std::uint32_t WmTimer = 0x0113;
constexpr std::uint32_t WmLButtonDown = 0x0201;

constexpr std::uintptr_t VkEscape = 27;

struct SysMessage {
    SysWindow Window = 0;
    std::uint32_t Message = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
};

// Window class: the fields the production fills; everything else is zero.
struct SysWindowClass {
    std::uint32_t Style = 0;
    SysWindowProc WndProc = nullptr;
    SysInstance Instance = 0;
    SysCursor Cursor = 0;
    const char* ClassName = nullptr;
};
constexpr std::uint32_t CsVRedraw = 0x0001;
constexpr std::uint32_t CsHRedraw = 0x0002;
constexpr std::uint32_t CsOwnDC = 0x0020;

// Display mode request: size, depth and which of them are set.
struct SysDisplayMode {
    std::uint32_t Size = 0;
    std::uint32_t PelsWidth = 0;
    std::uint32_t PelsHeight = 0;
    std::uint32_t BitsPerPel = 0;
    std::uint32_t Fields = 0;
};
constexpr std::uint32_t DisplayModeSize = 156;
constexpr std::uint32_t DmBitsPerPel = 0x00040000;
constexpr std::uint32_t DmPelsWidth = 0x00080000;
constexpr std::uint32_t DmPelsHeight = 0x00100000;
constexpr std::uint32_t CdsFullscreen = 4;
constexpr int DispChangeSuccessful = 0;
constexpr int DispChangeFailed = -1;

// Window styles.
constexpr std::uint32_t WsExAppWindow = 0x00040000;
constexpr std::uint32_t WsExWindowEdge = 0x00000100;
constexpr std::uint32_t WsPopup = 0x80000000;
constexpr std::uint32_t WsClipSiblings = 0x04000000;
constexpr std::uint32_t WsClipChildren = 0x02000000;
constexpr std::uint32_t WsOverlappedWindow = 0x00CF0000;
constexpr int SwShowNormal = 1;
constexpr int SwShow = 5;

// Pixel format request, field for field as the production fills it.
struct SysPixelFormat {
    std::uint16_t Size = 0;
    std::uint16_t Version = 0;
    std::uint32_t Flags = 0;
    std::uint8_t PixelType = 0;
    std::uint8_t ColorBits = 0;
    std::uint8_t AlphaBits = 0;
    std::uint8_t AccumBits = 0;
    std::uint8_t DepthBits = 0;
    std::uint8_t StencilBits = 0;
    std::uint8_t AuxBuffers = 0;
    std::uint8_t LayerType = 0;
};
constexpr std::uint16_t PixelFormatSize = 40;
constexpr std::uint32_t PfdDrawToWindow = 0x04;
constexpr std::uint32_t PfdSupportOpenGL = 0x20;
constexpr std::uint32_t PfdDoubleBuffer = 0x01;
constexpr std::uint8_t PfdTypeRgba = 0;
constexpr std::uint8_t PfdMainPlane = 0;

// Message box types.
constexpr std::uint32_t MbOk = 0x00;
constexpr std::uint32_t MbIconError = 0x10;
constexpr std::uint32_t IdcArrow = 32512;

// Display mode.
int SysChangeDisplaySettings(const SysDisplayMode* mode, std::uint32_t flags);  // null mode: restore
int SysShowCursor(bool show);

// Window class and window.
SysInstance SysGetModuleHandle();
SysCursor SysLoadCursor(std::uint32_t cursorId);
std::uint16_t SysRegisterClass(const SysWindowClass& windowClass);
bool SysUnregisterClass(const char* className, SysInstance instance);
SysWindow SysCreateWindow(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style,
                          int x, int y, int width, int height, SysInstance instance);
bool SysDestroyWindow(SysWindow window);
bool SysShowWindow(SysWindow window, int showCommand);
bool SysSetForegroundWindow(SysWindow window);
SysWindow SysSetFocus(SysWindow window);
bool SysSetWindowText(SysWindow window, const char* text);
bool SysSetTimer(SysWindow window, std::uintptr_t timerId, std::uint32_t periodMs);

// Device context and GL context.
SysDeviceContext SysGetDC(SysWindow window);
bool SysReleaseDC(SysWindow window, SysDeviceContext dc);
int SysChoosePixelFormat(SysDeviceContext dc, const SysPixelFormat& format);
bool SysSetPixelFormat(SysDeviceContext dc, int formatIndex, const SysPixelFormat& format);
SysGLContext SysCreateContext(SysDeviceContext dc);
bool SysMakeCurrent(SysDeviceContext dc, SysGLContext context);
bool SysDeleteContext(SysGLContext context);
bool SysSwapBuffers(SysDeviceContext dc);

// Pixels per picture pixel: 1 for the live demo, K when a capture renders K times larger.
int SysRenderScale();

// What the production reports about each presented frame: its demo time and its music's playing
// position in ms (-1 while none plays).
struct SysFrameReport {
    std::int32_t DemoTimeMs = -1;
    double MusicPositionMs = -1.0;
};
// The production registers its reporter once; a backend that keeps no per-frame trace ignores it.
void SysSetFrameReporter(SysFrameReport (*reporter)());

// Messages.
bool SysPeekMessage(SysMessage& message);  // takes one message off the queue, if any
bool SysTranslateMessage(const SysMessage& message);
std::intptr_t SysDispatchMessage(const SysMessage& message);
std::intptr_t SysDefWindowProc(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
void SysPostQuitMessage(int exitCode);

// Clock: milliseconds since some start, wrapping at 2^32.
std::uint32_t SysGetTickCount();
void SysSleep(std::uint32_t ms);

// A modal message box; always returns after the user (or nobody, headless) has seen it.
int SysMessageBox(const char* text, const char* caption, std::uint32_t type);

// Whether there is a display to play on. Where there is none, says so itself (one message, on
// stderr: no dialog can be shown) and the run ends at once.
bool SysCheckDisplay();

// Programs: start one from a command line (0 when it cannot be started) and wait for it. It runs
// in the data folder (below).
SysProcess SysStartProgram(const char* commandLine, int showCommand);
bool SysWaitForProgram(SysProcess process, std::uint32_t timeoutMs);  // false on timeout

// How a program that was waited for ended, and what it wrote to stderr (its reasons, when it failed).
struct SysProgramOutcome {
    bool Ended = false;
    int ExitCode = -1;
    std::string Errors;
};
SysProgramOutcome SysProgramResult(SysProcess process);

// Picks the folder the production's data names and the programs it starts resolve against: the
// demo's own release folder, or a per-user folder where that cannot be written; the working folder
// for the tools. False, with the reason in failure, when no folder can be used.
bool SysChooseDataFolder(std::string& failure);

// Files: names as the production writes them (data\logo.tga), found in the data folder.
std::string SysNativePath(const char* productionPath);
bool SysReadFile(const char* productionPath, std::vector<std::uint8_t>& bytes);

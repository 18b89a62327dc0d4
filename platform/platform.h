// platform.h: the window, GL context, message, clock, file and process calls the production makes,
// one operation per place that can fail, named and valued as on the system it was written for.
//
// BACKENDS. An executable links one window/GL backend and one sound backend (sound.h), static
// libraries from platform/CMakeLists.txt; nothing is chosen at run time, and two backends in one
// program are duplicate symbols. Every backend defines every call below.
//   moravel_platform_sdl       sdl_platform.cpp: the demo on a real window (SDL2 on X11 or Wayland).
//   moravel_platform_headless  headless_platform.cpp: EGL pbuffer on Mesa, no window system (capture,
//                              benchmarks, inspector, GL tests); real or virtual clock (headless.h).
//   moravel_platform_fake      fake_platform.cpp: no GL; records the calls, fails on request (fake.h).
//   moravel_platform_win32     win32_platform.cpp + win32_*.cpp: each call is the Win32/GDI/wgl call.
//   moravel_platform_web       web_platform.cpp + web_gl.cpp: a canvas in a page, WebGL 2 under the
//                              OpenGL 1.1 calls, in-page programs (the web build, web.h).
// The Linux ones share moravel_platform_posix (files, clock, class table and message queue,
// posix_messages.cpp); SDL and headless also share posix_process.cpp and table_window_calls.cpp.
// Sound: moravel_sound_sdl (SDL2_mixer), _silent (validates the file, plays nothing), _fake
// (records into the fake's call list, so it needs moravel_platform_fake), _waveout (Windows), _web
// (Web Audio).
// The production includes only this header and sound.h; tests and tools reach a backend's own
// controls through fake.h, headless.h and sound_fake.h.
//
// WHAT A BACKEND MUST DO. Return what the system would: 0 / false / DispChangeFailed on failure.
// Send WmCreate and WmSize to the class's procedure inside SysCreateWindow and WmDestroy inside
// SysDestroyWindow; take queued messages off in order, WmQuit after those posted before it; resolve
// production names (data\logo.tga) against the data folder. Where there is no such system it may
// do nothing, but answers as if it had done it:
//   - display mode: headless grants every mode; SDL only checks the mode exists (the switch comes
//     with the full-screen window) and restoring leaves full screen; fake records a scripted result.
//   - module handle, cursor, TranslateMessage, DefWindowProc: fixed answers on Linux, no effect.
//   - ShowCursor counts only (headless, fake); ShowWindow, SetForegroundWindow, SetFocus and
//     SetWindowText only check the window (headless); SetTimer posts nothing (fake).
//   - SysSleep returns at once under the headless virtual clock and on the fake (which adds the ms
//     to its tick count). SysCheckDisplay is true on headless and Windows; SysChooseDataFolder
//     keeps the working folder on headless.
//   - SysSetFrameReporter: the SDL backend (its MORAVEL_SYNC_TRACE) and the web backend (the page's
//     frame record) use it; others ignore it.
//   - SysMessageBox never waits on headless (stderr) or fake (a hook); SDL and Windows echo it to
//     stderr and skip the dialog when MORAVEL_MESSAGES=stderr.
//
// THREADS. The production makes every call, sound included, from its one main thread, but one:
// the texture decoders' worker threads call SysReadFile (and SysNativePath through it) and
// SysWarmUpHeap while the main thread goes on, so those must be safe to call at once (they only
// read the data folder, which is set before the workers start). Window
// procedures and the frame reporter are called back on it (from SysCreateWindow, SysDestroyWindow,
// SysDispatchMessage, SysSwapBuffers), as are the fake's and headless' hooks. Threads of the
// backends' own: the SDL backend's signal watchdog (ends a run stuck one second after SIGINT or
// SIGTERM, putting the display mode back; joined by SysShutdown) and SDL's timer thread (only pushes
// an event; ended with SDL in SysShutdown); the SDL sound backend's post-mix callback on SDL's audio
// thread; the waveOut backend's decoder thread.
// They share state with the main thread only through locks, atomics or SDL's event queue; the one
// exception is the watchdog's last-resort restore of the display mode, just before it ends the run.
//
// OWNERSHIP. Handles are opaque numbers the backend hands out and owns what stands behind; 0 is
// "none". The production releases what it made, in the system's order (ReleaseDC, DeleteContext,
// DestroyWindow, UnregisterClass). A SysProcess is waited for once (Windows closes it there) and
// released by SysProgramResult, once. Strings are only read during the call; the backend copies
// what it keeps. The frame reporter is a plain function and must stay callable for the run.
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
SysWindow SysCreateWindow(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style, int x,
                          int y, int width, int height, SysInstance instance);
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

// Pixels per picture pixel: 1 for the live demo as written, K when a capture or a --window --scale K
// player renders K times larger, and the fraction that fills the screen for a --desktop player.
double SysRenderScale();

// How the player shows the picture; the production's own calls stay as written. SwitchMode is the
// production's own way (the display switched to 640 x 480). Window and Desktop never switch the mode:
// the production draws into a picture of 640 x 480 times its render scale, which the backend shows
// centred in a framed window (WindowScale times larger) or on the whole desktop (the largest size
// that fits, black around it). VSync presents in step with the display. Set once, before the entry.
enum class SysScreen { SwitchMode, Window, Desktop };
struct SysPresentation {
    SysScreen Screen = SysScreen::SwitchMode;
    int WindowScale = 1;
    bool VSync = false;
};
// False when the backend cannot present that way (only the SDL backend offers more than the default).
bool SysSetPresentation(const SysPresentation& presentation);

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

// The program leaves its entry: the backend ends what it started itself (a watchdog thread, the
// window system's connection with the threads it keeps), so that as the entry returns no thread but
// the main one runs. The SDL and headless backends name on stderr any that still does. Called once
// per run, last.
void SysShutdown();

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

// Heap memory readied for what the main thread allocates next (the texture uploads), so that
// touching it then costs little. SysReserveHeap, on the main thread, takes a block from the main
// thread's heap (on Linux large blocks then stay in the heap once freed, and the block asks for
// huge pages where the kernel gives them on request); SysWarmUpHeap, on any thread, touches every
// page of it and gives it back to the heap. An empty block, and nothing to do, on Windows.
struct SysHeapBlock {
    void* Memory = nullptr;
    std::size_t Bytes = 0;
};
SysHeapBlock SysReserveHeap(std::size_t bytes);
void SysWarmUpHeap(SysHeapBlock block);

// Files: names as the production writes them (data\logo.tga), found in the data folder.
std::string SysNativePath(const char* productionPath);
bool SysReadFile(const char* productionPath, std::vector<std::uint8_t>& bytes);

// The program's spine: the entry, RunDemo's message pump and frame loop, the window procedure.
#include "shell/master.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "shell/music.h"
#include "shell/window.h"
#include "timeline/draw_frame.h"

std::int32_t DemoTime = 0;
std::uint32_t StartTick = 0;
std::int32_t LoadState = 0;
std::int32_t FrameCount = 0;
bool KeyDown[256] = {};

// Set by a left click, which tears everything down itself: the loop and the entry must then
// neither draw, nor tear down, nor free the sound a second time.
static bool RunEndedByClick = false;

void ResetMasterState()
{
    DemoTime = 0;
    StartTick = 0;
    LoadState = 0;
    FrameCount = 0;
    for (bool& key : KeyDown)
        key = false;
    RunEndedByClick = false;
}

void UpdateDemoTime()
{
    const std::uint32_t raw = SysGetTickCount() - StartTick;  // unsigned: right across the wrap
    const std::int64_t sum = static_cast<std::int64_t>(DemoTime) + static_cast<std::int64_t>(raw);
    DemoTime = static_cast<std::int32_t>(sum / 2);
}

void SetFrameRateCaption()
{
    FrameCount = static_cast<std::int32_t>(std::lround(FrameCount * 1000 / 1000.0));
    const std::string caption = std::string(DemoTitle) + "   [" + std::to_string(FrameCount) + " FPS]";
    SysSetWindowText(MainWindow, caption.c_str());
    FrameCount = 0;
}

static void EndRunOnClick()
{
    BASS_Free();
    DestroyMainWindow(true);
    RunEndedByClick = true;
}

std::intptr_t MainWindowProc(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case WmCreate:
        return 0;
    case WmSize:
        ResizeScene(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
        return 0;
    case WmClose:
        SysPostQuitMessage(0);
        return 0;
    case WmKeyDown:
        if (wParam < 256)
            KeyDown[wParam] = true;
        return 0;
    case WmKeyUp:
        if (wParam < 256)
            KeyDown[wParam] = false;
        return 0;
    case WmTimer:
        if (wParam == FrameRateTimerId)
            SetFrameRateCaption();
        return 0;
    case WmLButtonDown:
        EndRunOnClick();
        return 0;
    default:
        return SysDefWindowProc(window, message, wParam, lParam);
    }
}

// One drawn frame: start the music on the frame after the second batch, step the clock, bring the
// music back to it should they have drifted apart, draw, present. Returns true when the run should end.
static bool DrawOneFrame()
{
    ++FrameCount;
    if (LoadState == 1) {
        StartTick = SysGetTickCount() - 1;
        if (MusicReady)
            BASS_StreamPlay(MusicStream, false, 0);
        LoadState = 2;
    }
    UpdateDemoTime();
    KeepMusicInStep();
    DrawFrame();
    SysSwapBuffers(WindowDC);
    return KeyDown[VkEscape] || DemoTime > DemoEndTime;
}

int RunDemo(SysInstance, SysInstance, const char*, int)
{
    if (!CreateMainWindow(640, 480, true, 32))
        return 0;
    StartTick = SysGetTickCount();

    SysMessage message;
    bool done = false;
    while (!done) {
        if (SysPeekMessage(message)) {
            if (message.Message == WmQuit) {
                done = true;
            } else {
                SysTranslateMessage(message);
                SysDispatchMessage(message);
                if (RunEndedByClick)
                    return static_cast<int>(message.WParam);
            }
        } else {
            done = DrawOneFrame();
        }
    }
    DestroyMainWindow(true);
    return static_cast<int>(message.WParam);
}

[[noreturn]] void AbortRun(int exitCode)
{
    DestroyMainWindow(DisplayModeChanged());
    BASS_Free();
    std::exit(exitCode);
}

int ProgramEntry()
{
    // The production used to sleep a fixed 3000 ms here and hope the extractor was done; wait
    // for it instead, and do not wait at all when it could not be started.
    const SysProcess extractor = SysStartProgram(ExtractorCommand, SwShowNormal);
    if (extractor != 0)
        SysWaitForProgram(extractor, ExtractorTimeoutMs);
    RunDemo(SysGetModuleHandle(), 0, "", SwShowNormal);
    if (!RunEndedByClick)
        BASS_Free();
    return 0;
}

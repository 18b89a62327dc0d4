// The program's spine: the entry, RunDemo's message pump and frame loop, the window procedure.
#include "shell/master.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "shell/music.h"
#include "shell/player.h"
#include "shell/window.h"
#include "textures/catalogue.h"
#include "timeline/draw_frame.h"

DemoClock Clock;
InputState Input;

// Set by a left click, which tears everything down itself: the loop and the entry must then
// neither draw, nor tear down, nor free the sound a second time.
static bool RunEndedByClick = false;

void ResetMasterState()
{
    Clock = DemoClock{};
    Input = InputState{};
    RunEndedByClick = false;
    ResetPlayerState();
}

void UpdateDemoTime()
{
    const std::uint32_t raw = SysGetTickCount() - Clock.StartTick;  // unsigned: right across the wrap
    const std::int64_t sum = static_cast<std::int64_t>(Clock.DemoTime) + static_cast<std::int64_t>(raw);
    Clock.DemoTime = static_cast<std::int32_t>(sum / 2);
}

void SetFrameRateCaption()
{
    Clock.FrameCount = static_cast<std::int32_t>(std::lround(Clock.FrameCount * 1000 / 1000.0));
    const std::string caption = std::string(DemoTitle) + "   [" + std::to_string(Clock.FrameCount) + " FPS]";
    SysSetWindowText(MainWindow.Window, caption.c_str());
    Clock.FrameCount = 0;
}

// A click ends the run at once: sound first, then the window. Where the system runs a message loop
// of its own (a message box), the click arrives inside whatever showed it; the callers check
// RunEndedByClick after each such place, and nothing is ever torn down twice.
static void EndRunOnClick()
{
    if (MainWindowTornDown())  // the run is ending already; the entry frees the sound
        return;
    RunEndedByClick = true;
    BASS_Free();
    DestroyMainWindow(true);
}

bool RunEndedEarly()
{
    return RunEndedByClick;
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
        // A key held down repeats its key-down: only the first one pauses or resumes.
        if (wParam == VkSpace && !Input.KeyDown[VkSpace])
            TogglePause();
        if (wParam < 256)
            Input.KeyDown[wParam] = true;
        return 0;
    case WmKeyUp:
        if (wParam < 256)
            Input.KeyDown[wParam] = false;
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

void DrawLoadingOrScene()
{
    switch (Clock.Loading) {
    case LoadState::SecondBatchPending:
        LoadTextureBatch2();
        Clock.DemoTime = 0;
        Clock.Loading = LoadState::Loaded;
        break;
    case LoadState::Running:
        DrawFrame(Clock.DemoTime);
        break;
    case LoadState::Loaded:
        break;
    }
}

// Whether the run ends after this frame: on Escape, or after the end picture unless it loops.
static bool RunIsOver()
{
    if (Input.KeyDown[VkEscape])
        return true;
    if (Clock.DemoTime <= DemoEndTime)
        return false;
    if (!Looping())
        return true;
    RestartRun();
    return false;
}

// One drawn frame: start the music on the frame after the second batch, step the clock, bring the
// music back to it should they have drifted apart, draw, present. Returns true when the run should end.
// Paused, nothing is drawn or presented: the last picture stays on the screen.
static bool DrawOneFrame()
{
    if (Paused()) {
        SysSleep(PausedWaitMs);
        return Input.KeyDown[VkEscape];
    }
    ++Clock.FrameCount;
    if (Clock.Loading == LoadState::Loaded) {
        Clock.StartTick = SysGetTickCount() - 1;
        if (Music.Ready)
            BASS_StreamPlay(Music.Stream, false, 0);
        Clock.Loading = LoadState::Running;
    }
    UpdateDemoTime();
    KeepMusicInStep();
    DrawLoadingOrScene();
    if (RunEndedByClick)  // a message box of the loading frame took the click
        return true;
    SysSwapBuffers(MainWindow.DC);
    return RunIsOver();
}

int RunDemo(SysInstance, SysInstance, const char*, int)
{
    if (!CreateMainWindow(640, 480, true, 32) || RunEndedByClick)
        return 0;
    Clock.StartTick = SysGetTickCount();

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

// Every thread the run started is joined before the program ends, whichever way it ends: the
// texture decoders here, the backend's own (and the window system's) in SysShutdown.
static void EndProgram()
{
    StopDecodingTextures();
    SysShutdown();
}

[[noreturn]] void AbortRun(int exitCode)
{
    if (!RunEndedByClick) {
        DestroyMainWindow(DisplayModeChanged());
        BASS_Free();
    }
    EndProgram();
    std::exit(exitCode);
}

// The extractor's lines, without the name it puts before each: the caption says who speaks.
static std::string ExtractorReasons(const std::string& errors)
{
    const std::string prefix = "vfs.dll: ";
    std::string text;
    std::size_t at = 0;
    while (at < errors.size()) {
        std::size_t end = errors.find('\n', at);
        if (end == std::string::npos)
            end = errors.size();
        std::string line = errors.substr(at, end - at);
        if (line.compare(0, prefix.size(), prefix) == 0)
            line.erase(0, prefix.size());
        if (!line.empty())
            text += (text.empty() ? "" : "\n") + line;
        at = end + 1;
    }
    return text;
}

static void ReportUnpackFailure(const std::string& reason)
{
    const std::string text = "The demo's data could not be unpacked:\n" + reason;
    SysMessageBox(text.c_str(), ExtractorCaption, MbOk | MbIconError);
}

// Unpacks the data before anything reads it. The production used to sleep a fixed 3000 ms and hope
// the extractor was done; it waits for it instead. When unpacking fails, the user first hears why,
// before the messages of the loaders that then miss their files.
static void UnpackData()
{
    std::string failure;
    if (!SysChooseDataFolder(failure)) {
        ReportUnpackFailure(failure);
        return;
    }
    const SysProcess extractor = SysStartProgram(ExtractorCommand, SwShowNormal);
    if (extractor == 0)
        return;  // no extractor beside the demo: the data is taken as it is
    if (!SysWaitForProgram(extractor, ExtractorTimeoutMs)) {
        ReportUnpackFailure("vfs.dll did not finish within " + std::to_string(ExtractorTimeoutMs / 1000) + " s");
        return;
    }
    const SysProgramOutcome outcome = SysProgramResult(extractor);
    if (outcome.ExitCode == 0)
        return;
    const std::string reasons = ExtractorReasons(outcome.Errors);
    ReportUnpackFailure(!reasons.empty() ? reasons
                                         : "vfs.dll ended with exit code " + std::to_string(outcome.ExitCode));
}

// What the backend's per-frame trace records: the demo time and where the music is.
static SysFrameReport ReportFrame()
{
    SysFrameReport report;
    report.DemoTimeMs = Clock.DemoTime;
    report.MusicPositionMs = SoundGetStreamPosition(Music.Stream);
    return report;
}

int ProgramEntry()
{
    if (!SysCheckDisplay()) {
        EndProgram();
        return NoDisplayExitCode;
    }
    SysSetFrameReporter(ReportFrame);
    UnpackData();
    // The pictures decode on other cores while the window and the OpenGL context are made.
    StartDecodingTextures();
    RunDemo(SysGetModuleHandle(), 0, "", SwShowNormal);
    if (!RunEndedByClick)
        BASS_Free();
    EndProgram();
    return 0;
}

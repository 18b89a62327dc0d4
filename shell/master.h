// The program's spine: entry, frame loop, window procedure, and the demo clock they keep.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr std::int32_t DemoEndTime = 121100;  // the run ends once DemoTime is greater than this
constexpr std::uintptr_t FrameRateTimerId = 1;
constexpr std::uint32_t FrameRateTimerPeriod = 1000;
constexpr const char* DemoTitle = "Moravel by Ostrevia 2k4";
constexpr const char* ExtractorCommand = "vfs.dll --e data";
constexpr std::uint32_t ExtractorTimeoutMs = 60000;
constexpr const char* ExtractorCaption = "vfs.dll";
constexpr int NoDisplayExitCode = 1;

// Where the loading stands. InitScene sets the first state; the frame loop alone moves it on.
enum class LoadState : std::int32_t {
    SecondBatchPending = 0,  // the next frame loads the second texture batch and draws nothing
    Loaded = 1,              // the next frame starts the clock and the music, then draws
    Running = 2,             // every frame draws the schedule
};

// The demo clock and the frame count: the frame loop writes them, the caption timer reads and
// zeroes the count.
struct DemoClock {
    std::int32_t DemoTime = 0;    // demo time in ms, which every scene is drawn for
    std::uint32_t StartTick = 0;  // tick the raw elapsed time counts from
    LoadState Loading = LoadState::SecondBatchPending;
    std::int32_t FrameCount = 0;  // frames since the last caption update
};

// The keys held, by virtual-key code; MainWindowProc writes it.
struct InputState {
    bool KeyDown[256] = {};
};

extern DemoClock Clock;
extern InputState Input;

// The entry: starts the extractor, runs the demo, frees the sound. Returns the exit code.
int ProgramEntry();
int RunDemo(SysInstance instance, SysInstance previousInstance, const char* commandLine, int showCommand);
std::intptr_t MainWindowProc(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// One frame's clock step: DemoTime := (DemoTime + raw elapsed) / 2 with a 64-bit sum.
void UpdateDemoTime();
// What one frame shows: the loading frame loads the second texture batch, draws nothing and starts
// the demo time from 0, however long the loading took; a running frame draws the timeline at DemoTime.
void DrawLoadingOrScene();
// The frame-rate caption for a count of frames: "Moravel by Ostrevia 2k4   [N FPS]".
void SetFrameRateCaption();

// True once a left click has ended the run (and torn everything down): start-up steps that may
// have shown a message box stop there.
bool RunEndedEarly();

// Ends the run from inside start-up when data the production cannot do without is unusable:
// the normal teardown (display restored, sound freed), then the process exits with exitCode.
[[noreturn]] void AbortRun(int exitCode);

// Puts the clock, the input and the run's own flags back to their start (tests run the demo more
// than once).
void ResetMasterState();

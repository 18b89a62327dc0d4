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

extern std::int32_t DemoTime;    // demo time in ms; the frame loop writes it, LoadTextureBatch2 zeroes it
extern std::uint32_t StartTick;  // tick the raw elapsed time counts from; the frame loop writes it
extern std::int32_t LoadState;   // 0 batch 2 pending, 1 loaded, 2 running; InitScene, LoadTextureBatch2, the loop
extern std::int32_t FrameCount;  // frames since the last caption update; the loop and the timer
extern bool KeyDown[256];        // keys held, by virtual-key code; MainWindowProc writes it

// The entry: starts the extractor, runs the demo, frees the sound. Returns the exit code.
int ProgramEntry();
int RunDemo(SysInstance instance, SysInstance previousInstance, const char* commandLine, int showCommand);
std::intptr_t MainWindowProc(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// One frame's clock step: DemoTime := (DemoTime + raw elapsed) / 2 with a 64-bit sum.
void UpdateDemoTime();
// The frame-rate caption for a count of frames: "Moravel by Ostrevia 2k4   [N FPS]".
void SetFrameRateCaption();

// True once a left click has ended the run (and torn everything down): start-up steps that may
// have shown a message box stop there.
bool RunEndedEarly();

// Ends the run from inside start-up when data the production cannot do without is unusable:
// the normal teardown (display restored, sound freed), then the process exits with exitCode.
[[noreturn]] void AbortRun(int exitCode);

// Puts every variable of this unit back to its start value (tests run the demo more than once).
void ResetMasterState();

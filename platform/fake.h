// Controls of the fake backend: no GL, every call recorded in order, any step can be made to
// fail. Only for the paths a real system cannot be made to take.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

// Forget every recorded call, queued message, failure and hook; the tick count goes to 0.
void FakeReset();
// The calls made so far, oldest first, as "Name arg arg ..." (see fake_platform.cpp).
const std::vector<std::string>& FakeCalls();
// Append a call made elsewhere (the fake sound backend) to the same record.
void FakeRecordCall(const std::string& call);
// Make the operation with this name (as recorded, e.g. "CreateWindow") fail from now on.
void FakeFailStep(const std::string& name);
// The result ChangeDisplaySettings gives for a mode change (restoring always succeeds).
void FakeSetDisplayChangeResult(int result);
void FakeSetTickCount(std::uint32_t ticks);
// Each SwapBuffers adds this many milliseconds to the tick count (0 by default).
void FakeSetTicksPerSwap(std::uint32_t ms);
// Queue a message for the window (or the thread, for WmQuit).
void FakePostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
// Called inside every SwapBuffers with the 1-based number of the swap; tests script input here.
void FakeSetSwapHook(std::function<void(int swapNumber)> hook);
// Number of SwapBuffers calls since the reset.
int FakeSwapCount();
// Called inside every MessageBox with its recorded call ("MessageBox Caption: text"), as a modal
// box's own message loop would run: tests dispatch input here.
void FakeSetMessageBoxHook(std::function<void(const std::string& call)> hook);
// How the started program ended (by default: it ended with exit code 0 and wrote nothing).
void FakeSetProgramOutcome(bool ended, int exitCode, const std::string& errors);

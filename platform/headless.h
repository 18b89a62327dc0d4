// Controls of the headless backend (EGL on Mesa, no window system) for the capture tool,
// benchmarks, the inspector and GL tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

// Each SwapBuffers advances the tick count by exactly 1000/fps ms with fps = numerator /
// denominator; the fraction is carried, so 60000/1001 fps stays exact over a whole run.
// Without this call the clock is real.
void HeadlessUseVirtualClock(std::uint64_t fpsNumerator, std::uint64_t fpsDenominator);
// Render K times larger than the window the production asks for (set before the window exists).
void HeadlessSetScale(int scale);
// Called inside every SwapBuffers, with the presented frame still readable.
void HeadlessSetSwapHook(std::function<void()> hook);
// The presented frame as RGB bytes, bottom row first (as OpenGL reads it).
bool HeadlessReadFrame(std::vector<std::uint8_t>& rgb, int& width, int& height);
// Queue a message as if the window system had sent it.
void HeadlessPostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// A standalone context with a width x height pbuffer, current on return; for tests and tools
// that draw without going through the production's window creation.
bool HeadlessCreateContext(int width, int height);
void HeadlessDestroyContext();

// Every message box shown, as "caption: text", oldest first.
const std::vector<std::string>& HeadlessMessageLog();
void HeadlessClearMessageLog();

// Controls of the web backend (a WebGL 2 canvas in a page, Web Audio) for the page's entry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

// Each SwapBuffers advances the tick count by exactly 1000/fps ms (fps = numerator / denominator),
// as the capture's clock does; frames are still shown. Without this call the clock is real.
void WebUseVirtualClock(std::uint64_t fpsNumerator, std::uint64_t fpsDenominator);
// Called inside every SwapBuffers, while the frame just drawn can still be read from the canvas.
void WebSetSwapHook(std::function<void()> hook);
// Queue a message as if the page had sent it (to the demo's window).
void WebPostMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// A program the production may start, run in the page itself: it gets the command line's words
// after the program's name, returns its exit code and appends what it reports to errors.
using WebProgram = int (*)(const std::vector<std::string>& arguments, std::string& errors);
void WebRegisterProgram(const std::string& name, WebProgram program);

// The in-memory folder the page puts the archive in, and the data folder names resolve against.
constexpr const char* WebDataFolder = "/moravel";

// Sound without a device (the virtual clock's runs): the file is still read, nothing plays.
void WebSoundSilent(bool silent);

// A contact sheet: small copies of frames in a grid, each with its demo time under it.
#pragma once

#include <cstdint>
#include <string>

#include "tools/capture/png_file.h"

// Adds a frame (top row first) with its demo time.
void AddSheetFrame(const RgbImage& frame, std::int32_t demoTime);
bool WriteSheet(const std::string& file);

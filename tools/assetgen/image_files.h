// Writers for the picture files in the layouts the production's readers take.
#pragma once

#include <string>

#include "tools/assetgen/canvas.h"

enum class TgaLayout {
    Raw24,  // type 2, 24 bits: no alpha
    Raw32,  // type 2, 32 bits with alpha
    Rle24,  // type 10, 24 bits, run-length packets
    Rle32,  // type 10, 32 bits, run-length packets
};

// Bottom row first, no image ID, B G R (A) per pixel; run-length packets never cross a row end.
// Returns false with a message on stderr.
bool WriteTga(const std::string& path, const Canvas& canvas, TgaLayout layout);
// Baseline JPEG through libjpeg at the given quality, alpha ignored.
bool WriteJpg(const std::string& path, const Canvas& canvas, int quality);

// The TGA file bytes, for writing and for tests of the encoder.
std::string EncodeTga(const Canvas& canvas, TgaLayout layout);

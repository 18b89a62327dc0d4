// PNG files for captured frames: RGB, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;  // RGB, top row first
};

bool WritePng(const std::string& path, const RgbImage& image);
bool ReadPng(const std::string& path, RgbImage& image);
// A frame as OpenGL reads it (bottom row first) turned upright.
RgbImage UprightImage(const std::vector<std::uint8_t>& bottomUp, int width, int height);

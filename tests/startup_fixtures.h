// Test data for the start-up tests: a scratch working directory with a data folder, pictures and model files.
#pragma once

#include <cstdint>
#include <string>

// Makes a fresh directory with a "data" folder inside and makes it the working directory;
// the destructor goes back and removes it.
struct ScratchWorkDir {
    ScratchWorkDir();
    ~ScratchWorkDir();
    ScratchWorkDir(const ScratchWorkDir&) = delete;
    ScratchWorkDir& operator=(const ScratchWorkDir&) = delete;
    std::string Path;
    std::string Previous;
};

struct Rgb {
    std::uint8_t R, G, B;
};

// A width x height picture of one colour, as an uncompressed 24-bit TGA or a baseline JPEG.
void WriteSolidTga(const std::string& path, int width, int height, Rgb colour);
void WriteSolidJpeg(const std::string& path, int width, int height, Rgb colour);
// A .tga or .jpg picture, by the name's ending.
void WriteSolidPicture(const std::string& path, Rgb colour);

void WriteTextFile(const std::string& path, const std::string& text);

// A small valid model: three vertices and one triangle, CR LF line breaks.
std::string TriangleModelText();

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

// An 8 x 8 picture of one colour: an uncompressed 24-bit TGA for a .tga name, else a baseline JPEG.
void WriteSolidPicture(const std::string& path, Rgb colour);

void WriteTextFile(const std::string& path, const std::string& text);

// A small valid model: three vertices and one triangle, CR LF line breaks.
std::string TriangleModelText();

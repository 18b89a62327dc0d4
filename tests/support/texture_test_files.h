// Builds TGA, BMP and JPEG files in memory for the reader and upload tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A picture with a different value in every channel of every pixel: R G B (A), bottom row first.
Bytes PatternPixels(int width, int height, int channels);
// The same pixels with the first and third byte of each pixel exchanged (R G B to B G R and back).
Bytes SwapRedBlue(const Bytes& pixels, int channels);

// An 18-byte TGA header followed by an image ID of idLength bytes (0xEE) and then `data` as given.
Bytes MakeTga(int imageType, int depth, int width, int height, const Bytes& data, int idLength = 0,
              int colourMapType = 0, int descriptor = 0);

// A bitmap with a 40-byte information header; rows of `bgr` (width * 3 bytes each, bottom row first)
// are padded to four bytes with 0xEE. imageSize < 0 stores the padded data size.
Bytes MakeBmp(int width, int height, const Bytes& bgr, int bitsPerPixel = 24, long imageSize = -1,
              std::uint32_t coloursUsed = 0, std::uint32_t compression = 0);

enum class JpegKind { Colour, Grey, Cmyk, Ycck, Progressive };
// A JPEG encoded by libjpeg from top-row-first pixels (3 channels, or 1 for Grey, 4 for CMYK/YCCK).
Bytes EncodeJpeg(int width, int height, const Bytes& pixels, JpegKind kind, int quality = 95);
// libjpeg's own decoding of the file at default settings, top row first, 3 channels per pixel.
Bytes ReferenceDecodeJpeg(const Bytes& jpeg, int& width, int& height);

// A fresh directory under the system's temporary directory, for tests that need real files.
std::string MakeTempDir();
void WriteFile(const std::string& path, const Bytes& bytes);

// The texture unit: readers that turn TGA, JPEG and BMP bytes into pixels, and the upload of those pixels.
//
// Each reader is split in two: a decoder (DecodeTGA, DecodeJPG, DecodeBMP) that works on bytes alone and
// never touches OpenGL, and a loader (LoadTGATexture, ...) that fetches the bytes from a file or resource,
// shows the decoder's message box on failure and calls CreateTexture on success. Loaders need the
// OpenGL context current; decoders can run anywhere. PrepareTexture does everything short of OpenGL
// (reading, decoding, the mipmap levels) on any thread; UploadPrepared finishes on the main thread.
// Takes: BMP (uncompressed, 24 bits, bottom-up), JPEG (colour or greyscale), TGA (true colour, 24 or
// 32 bits, raw or run-length encoded). Does not take: palettes, 16-bit pixels, CMYK, other extensions.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decoded pixels: 8 bits per channel, R G B (GL_RGB) or R G B A (GL_RGBA), rows packed without gaps,
// first row the bottom row of the picture.
struct PixelBuffer {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    GLenum Format = GL_RGB;
    std::vector<std::uint8_t> Pixels;
};

// What a decoder made of a file: the pixels, or the message box that says why there are none.
struct DecodeResult {
    bool Ok = false;
    PixelBuffer Picture;
    std::string Caption;
    std::string Text;
};

// What reading and decoding one file gave, before anything touches OpenGL.
struct PreparedTexture {
    bool HasReader = false;  // the name ends in .BMP, .JPG or .TGA; otherwise nothing is loaded or said
    DecodeResult Decoded;    // the pixels, or the message for a missing or broken file
    bool HasLevels = false;  // Levels holds the mipmap levels below the picture (1 down to 1 x 1)
    std::vector<PixelBuffer> Levels;
};

// Builds a new mipmapped texture from the pixels and returns its name, left bound to GL_TEXTURE_2D.
GLuint CreateTexture(std::uint16_t width, std::uint16_t height, GLenum format, const std::uint8_t* pixels);
// The same texture from a picture whose levels were built already; GLU does it where they were not,
// or where the picture is larger than OpenGL takes.
GLuint CreateTextureWithLevels(const PixelBuffer& picture, const std::vector<PixelBuffer>& levels);

// Loads one image into `texture`, choosing the reader by the last four characters of the name
// (.BMP, .JPG, .TGA in any case). Any other ending: false and no message. The slot is written only
// when the load succeeds.
bool LoadTexture(const char* fileName, GLuint& texture, bool fromResource);

// How LoadTexture gets a file to OpenGL. Prepared: as PrepareTexture and UploadPrepared do, taking
// what the catalogue's decoding ahead made where there is one. Serial: read, decode and upload on
// the spot, GLU building the mipmaps, as the production first did (the benchmarks compare the two).
// Both give the same textures and the same messages in the same order.
enum class TextureLoading { Prepared, Serial };
void SetTextureLoading(TextureLoading loading);
TextureLoading CurrentTextureLoading();

// Reads, decodes and builds the mipmap levels of a file; shows nothing and may run on any thread.
PreparedTexture PrepareTexture(const char* fileName);
// Shows the message of a failed file, or uploads the texture into `texture`; as LoadTexture answers.
bool UploadPrepared(const PreparedTexture& prepared, GLuint& texture);
bool LoadTGATexture(const char* fileName, GLuint& texture, bool fromResource);
bool LoadJPGTexture(const char* fileName, GLuint& texture, bool fromResource);
bool LoadBMPTexture(const char* fileName, GLuint& texture, bool fromResource);

// Decoders. `fileName` only goes into the messages; `fromResource` picks the resource wording of them.
DecodeResult DecodeTGA(const std::uint8_t* bytes, std::size_t size, const char* fileName, bool fromResource);
DecodeResult DecodeJPG(const std::uint8_t* bytes, std::size_t size, const char* fileName, bool fromResource);
DecodeResult DecodeBMP(const std::uint8_t* bytes, std::size_t size, const char* fileName, bool fromResource);

// Shows the failure's message box and returns false, or uploads the pixels into `texture` and returns true.
bool UploadDecoded(const DecodeResult& decoded, GLuint& texture);

// Named resources of the executable. This build embeds none, so every lookup shows the reader's
// "File not found in resource - " message with `missingCaption` and returns false.
bool ReadTextureResource(const char* fileName, const char* resourceType, const char* missingCaption,
                         std::vector<std::uint8_t>& bytes);

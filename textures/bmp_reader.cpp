// The BMP decoder: uncompressed 24-bit bottom-up bitmaps into RGB rows.
#include <algorithm>
#include <string>

#include "textures/textures.h"

constexpr std::size_t BmpFileHeaderSize = 14;
constexpr std::size_t BmpInfoHeaderSize = 40;
constexpr std::size_t BmpHeadersSize = BmpFileHeaderSize + BmpInfoHeaderSize;
constexpr char BmpCaption[] = "BMP Unit";

static DecodeResult Failure(const std::string& text)
{
    DecodeResult result;
    result.Caption = BmpCaption;
    result.Text = text;
    return result;
}

// A short read: the file's own message, or for a resource the one resource wording for every read.
static DecodeResult ReadFailure(const char* fileMessage, const char* fileName, bool fromResource)
{
    if (fromResource)
        return Failure(std::string("Unable to read from resource - ") + fileName);
    return Failure(fileMessage);
}

static std::uint32_t ReadU32(const std::uint8_t* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

DecodeResult DecodeBMP(const std::uint8_t* bytes, std::size_t size, const char* fileName, bool fromResource)
{
    if (size < BmpHeadersSize)
        return ReadFailure("Error reading bitmap header", fileName, fromResource);
    const std::uint32_t pixelOffset = ReadU32(bytes + 10);
    const std::int32_t width = static_cast<std::int32_t>(ReadU32(bytes + 18));
    const std::int32_t height = static_cast<std::int32_t>(ReadU32(bytes + 22));
    const std::uint16_t bitsPerPixel = static_cast<std::uint16_t>(bytes[28] | bytes[29] << 8);
    const std::uint32_t compression = ReadU32(bytes + 30);
    const std::uint32_t imageSize = ReadU32(bytes + 34);
    const std::uint32_t coloursUsed = ReadU32(bytes + 46);

    // The palette block is counted in bytes; it is read past, never used.
    if (size - BmpHeadersSize < coloursUsed)
        return ReadFailure("Error reading palette", fileName, fromResource);
    if (bitsPerPixel != 24 || compression != 0)
        return Failure(std::string("Only uncompressed 24 bit bitmaps supported - ") + fileName);
    if (height < 0)
        return Failure(std::string("Top-down bitmaps not supported - ") + fileName);
    if (width < 0 || width > 0xFFFF || height > 0xFFFF)
        return Failure(std::string("Unsupported bitmap size - ") + fileName);

    // Newer writers put larger headers before the pixels; the file header says where they start.
    const std::size_t dataStart = pixelOffset >= BmpHeadersSize ? pixelOffset : BmpHeadersSize + coloursUsed;
    // Each stored row is padded to a multiple of four bytes.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    const std::size_t needed = height == 0 ? 0 : stride * (height - 1) + rowBytes;
    const std::size_t required = std::max<std::size_t>(needed, imageSize);
    if (size < dataStart || size - dataStart < required)
        return ReadFailure("Error reading bitmap data", fileName, fromResource);

    DecodeResult result;
    PixelBuffer& picture = result.Picture;
    picture.Width = static_cast<std::uint16_t>(width);
    picture.Height = static_cast<std::uint16_t>(height);
    picture.Format = GL_RGB;
    picture.Pixels.resize(rowBytes * height);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const std::uint8_t* stored = bytes + dataStart + y * stride;
        std::uint8_t* pixel = picture.Pixels.data() + y * rowBytes;
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            pixel[x] = stored[x + 2];
            pixel[x + 1] = stored[x + 1];
            pixel[x + 2] = stored[x];
        }
    }
    result.Ok = true;
    return result;
}

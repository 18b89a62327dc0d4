// The TGA decoder: true-colour pictures of 24 or 32 bits, raw or run-length encoded, into RGB(A) rows.
#include <string>

#include "textures/textures.h"

constexpr std::size_t TgaHeaderSize = 18;
constexpr std::uint8_t TgaTypeRaw = 2;
constexpr std::uint8_t TgaTypeRunLength = 10;
constexpr char TgaErrorCaption[] = "TGA File Error";

static DecodeResult Failure(const char* caption, const std::string& text)
{
    DecodeResult result;
    result.Caption = caption;
    result.Text = text;
    return result;
}

static DecodeResult FormatFailure(const char* fileName, const char* why)
{
    return Failure(TgaErrorCaption, std::string("Couldn't load \"") + fileName + "\". " + why);
}

// Bytes missing where pixels should be; a resource reports it in the resource wording.
static DecodeResult ReadFailure(const char* fileName, bool fromResource)
{
    if (fromResource)
        return Failure("BMP Unit", std::string("Unable to read from resource - ") + fileName);
    return Failure(TgaErrorCaption, std::string("Couldn't read file \"") + fileName + "\".");
}

// Stored pixels are B G R (A); the texture wants R G B (A).
static void CopyPixel(const std::uint8_t* stored, std::uint8_t* pixel, std::size_t bytesPerPixel)
{
    pixel[0] = stored[2];
    pixel[1] = stored[1];
    pixel[2] = stored[0];
    if (bytesPerPixel == 4)
        pixel[3] = stored[3];
}

// Fills pixelCount pixels from the packets; false when the packets run out first.
static bool UnpackRunLength(const std::uint8_t* packets, std::size_t size, std::size_t bytesPerPixel,
                            std::size_t pixelCount, std::uint8_t* pixels)
{
    std::size_t at = 0;
    std::size_t written = 0;
    while (written < pixelCount) {
        if (at >= size)
            return false;
        const std::uint8_t header = packets[at++];
        const bool raw = header < 128;
        const std::size_t count = raw ? header + 1u : header - 127u;
        // A packet reaching past the picture is cut at its end; only the pixels used must be present.
        const std::size_t used = count < pixelCount - written ? count : pixelCount - written;
        const std::size_t storedBytes = (raw ? used : 1) * bytesPerPixel;
        if (size - at < storedBytes)
            return false;
        for (std::size_t i = 0; i < used; ++i) {
            const std::uint8_t* stored = packets + at + (raw ? i * bytesPerPixel : 0);
            CopyPixel(stored, pixels + (written + i) * bytesPerPixel, bytesPerPixel);
        }
        written += used;
        at += (raw ? count : 1) * bytesPerPixel;
    }
    return true;
}

DecodeResult DecodeTGA(const std::uint8_t* bytes, std::size_t size, const char* fileName, bool fromResource)
{
    if (size < TgaHeaderSize)
        return ReadFailure(fileName, fromResource);
    const std::uint8_t idLength = bytes[0];
    const std::uint8_t colourMapType = bytes[1];
    const std::uint8_t imageType = bytes[2];
    const std::uint8_t depth = bytes[16];
    if (imageType != TgaTypeRaw && imageType != TgaTypeRunLength)
        return FormatFailure(fileName, "Only 24 and 32bit TGA supported.");
    if (colourMapType != 0)
        return FormatFailure(fileName, "Colormapped TGA files not supported.");
    if (depth != 24 && depth != 32)
        return FormatFailure(fileName, "Only 24 and 32 bit TGA files supported.");

    const std::uint16_t width = static_cast<std::uint16_t>(bytes[12] | bytes[13] << 8);
    const std::uint16_t height = static_cast<std::uint16_t>(bytes[14] | bytes[15] << 8);
    const std::size_t bytesPerPixel = depth / 8;
    const std::size_t pixelCount = std::size_t{width} * height;
    // The image ID, when there is one, sits between the header and the pixels.
    const std::size_t dataStart = TgaHeaderSize + idLength;
    if (size < dataStart)
        return ReadFailure(fileName, fromResource);
    const std::uint8_t* data = bytes + dataStart;
    const std::size_t dataSize = size - dataStart;

    DecodeResult result;
    PixelBuffer& picture = result.Picture;
    picture.Width = width;
    picture.Height = height;
    picture.Format = bytesPerPixel == 3 ? GL_RGB : GL_RGBA;
    if (imageType == TgaTypeRaw) {
        if (dataSize / bytesPerPixel < pixelCount)
            return ReadFailure(fileName, fromResource);
        picture.Pixels.resize(pixelCount * bytesPerPixel);
        for (std::size_t i = 0; i < pixelCount; ++i)
            CopyPixel(data + i * bytesPerPixel, picture.Pixels.data() + i * bytesPerPixel, bytesPerPixel);
    } else {
        // No packet gives more than 128 pixels for at least 1 + bytesPerPixel bytes: a picture larger
        // than that cannot be filled, so refuse it before allocating room for it.
        if (dataSize / (1 + bytesPerPixel) < (pixelCount + 127) / 128)
            return ReadFailure(fileName, fromResource);
        picture.Pixels.resize(pixelCount * bytesPerPixel);
        if (!UnpackRunLength(data, dataSize, bytesPerPixel, pixelCount, picture.Pixels.data()))
            return ReadFailure(fileName, fromResource);
    }
    result.Ok = true;
    return result;
}

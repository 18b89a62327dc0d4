// Builds TGA, BMP and JPEG files in memory for the reader and upload tests.
#include "tests/support/texture_test_files.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

Bytes PatternPixels(int width, int height, int channels)
{
    Bytes pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                pixels.push_back(static_cast<std::uint8_t>(x * 37 + y * 101 + c * 59 + 7));
    return pixels;
}

Bytes SwapRedBlue(const Bytes& pixels, int channels)
{
    Bytes swapped = pixels;
    for (std::size_t i = 0; i + 2 < swapped.size(); i += channels)
        std::swap(swapped[i], swapped[i + 2]);
    return swapped;
}

static void PutLe(Bytes& bytes, std::size_t at, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes MakeTga(int imageType, int depth, int width, int height, const Bytes& data, int idLength, int colourMapType,
              int descriptor)
{
    Bytes file(18, 0);
    file[0] = static_cast<std::uint8_t>(idLength);
    file[1] = static_cast<std::uint8_t>(colourMapType);
    file[2] = static_cast<std::uint8_t>(imageType);
    PutLe(file, 12, width, 2);
    PutLe(file, 14, height, 2);
    file[16] = static_cast<std::uint8_t>(depth);
    file[17] = static_cast<std::uint8_t>(descriptor);
    file.insert(file.end(), idLength, 0xEE);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes MakeBmp(int width, int height, const Bytes& bgr, int bitsPerPixel, long imageSize, std::uint32_t coloursUsed,
              std::uint32_t compression)
{
    const std::size_t rowBytes = std::size_t(width) * 3;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
    Bytes data;
    for (int y = 0; y < height; ++y) {
        data.insert(data.end(), bgr.begin() + y * rowBytes, bgr.begin() + (y + 1) * rowBytes);
        data.insert(data.end(), stride - rowBytes, 0xEE);
    }
    Bytes file(54, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLe(file, 2, static_cast<std::uint32_t>(54 + coloursUsed + data.size()), 4);
    PutLe(file, 10, 54 + coloursUsed, 4);
    PutLe(file, 14, 40, 4);
    PutLe(file, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(file, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(file, 26, 1, 2);
    PutLe(file, 28, bitsPerPixel, 2);
    PutLe(file, 30, compression, 4);
    PutLe(file, 34, imageSize < 0 ? static_cast<std::uint32_t>(data.size()) : static_cast<std::uint32_t>(imageSize), 4);
    PutLe(file, 46, coloursUsed, 4);
    file.insert(file.end(), coloursUsed, 0xCC);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

Bytes EncodeJpeg(int width, int height, const Bytes& pixels, JpegKind kind, int quality)
{
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &buffer, &size);
    encoder.image_width = width;
    encoder.image_height = height;
    const bool fourChannels = kind == JpegKind::Cmyk || kind == JpegKind::Ycck;
    encoder.input_components = kind == JpegKind::Grey ? 1 : fourChannels ? 4 : 3;
    encoder.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : fourChannels ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&encoder);
    if (kind == JpegKind::Ycck)
        jpeg_set_colorspace(&encoder, JCS_YCCK);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    const std::size_t rowBytes = std::size_t(width) * encoder.input_components;
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + encoder.next_scanline * rowBytes);
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    Bytes file(buffer, buffer + size);
    jpeg_destroy_compress(&encoder);
    std::free(buffer);
    return file;
}

Bytes ReferenceDecodeJpeg(const Bytes& jpeg, int& width, int& height)
{
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr errors{};
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    width = static_cast<int>(decoder.output_width);
    height = static_cast<int>(decoder.output_height);
    Bytes pixels(std::size_t(width) * height * 3);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = pixels.data() + std::size_t(decoder.output_scanline) * width * 3;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return pixels;
}

std::string MakeTempDir()
{
    std::string pattern = "/tmp/moravel-textures-XXXXXX";
    if (const char* base = std::getenv("TMPDIR"))
        pattern = std::string(base) + "/moravel-textures-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary directory");
    return pattern;
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

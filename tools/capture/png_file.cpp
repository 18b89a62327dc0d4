// PNG files for captured frames through libpng's simplified API.
#include "tools/capture/png_file.h"

#include <png.h>

#include <cstring>

bool WritePng(const std::string& path, const RgbImage& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.Width);
    png.height = static_cast<png_uint_32>(image.Height);
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, path.c_str(), 0, image.Pixels.data(), image.Width * 3, nullptr) != 0;
}

bool ReadPng(const std::string& path, RgbImage& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0)
        return false;
    png.format = PNG_FORMAT_RGB;
    image.Width = static_cast<int>(png.width);
    image.Height = static_cast<int>(png.height);
    image.Pixels.assign(PNG_IMAGE_SIZE(png), 0);
    const bool ok = png_image_finish_read(&png, nullptr, image.Pixels.data(), image.Width * 3, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

RgbImage UprightImage(const std::vector<std::uint8_t>& bottomUp, int width, int height)
{
    RgbImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(bottomUp.size());
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(&image.Pixels[static_cast<std::size_t>(y) * row],
                    &bottomUp[static_cast<std::size_t>(height - 1 - y) * row], row);
    return image;
}

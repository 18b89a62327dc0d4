// Mipmap levels by halving, byte for byte what gluBuild2DMipmaps makes of a power-of-two picture.
#include "textures/mip_chain.h"

#include <algorithm>
#include <cstddef>

static bool IsPowerOfTwo(unsigned value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

bool HasPowerOfTwoSides(const PixelBuffer& picture)
{
    return IsPowerOfTwo(picture.Width) && IsPowerOfTwo(picture.Height);
}

static std::size_t ChannelsOf(const PixelBuffer& picture)
{
    return picture.Format == GL_RGBA ? 4 : 3;
}

PixelBuffer HalveLevel(const PixelBuffer& level)
{
    const std::size_t channels = ChannelsOf(level);
    PixelBuffer next;
    next.Format = level.Format;
    next.Width = static_cast<std::uint16_t>(std::max(1, level.Width / 2));
    next.Height = static_cast<std::uint16_t>(std::max(1, level.Height / 2));
    next.Pixels.resize(std::size_t{next.Width} * next.Height * channels);
    const std::uint8_t* in = level.Pixels.data();
    std::uint8_t* out = next.Pixels.data();
    if (level.Width > 1 && level.Height > 1) {
        const std::size_t row = std::size_t{level.Width} * channels;
        for (std::size_t y = 0; y < next.Height; ++y) {
            const std::uint8_t* top = in + 2 * y * row;
            for (std::size_t x = 0; x < std::size_t{next.Width} * channels; x += channels, top += 2 * channels)
                for (std::size_t c = 0; c < channels; ++c)
                    *out++ = static_cast<std::uint8_t>(
                        (top[c] + top[channels + c] + top[row + c] + top[row + channels + c] + 2) / 4);
        }
        return next;
    }
    // One row or one column: the texels are consecutive either way.
    const std::size_t count = std::size_t{next.Width} * next.Height;
    for (std::size_t i = 0; i < count; ++i, in += 2 * channels)
        for (std::size_t c = 0; c < channels; ++c)
            *out++ = static_cast<std::uint8_t>((in[c] + in[channels + c]) / 2);
    return next;
}

std::vector<PixelBuffer> BuildMipChain(const PixelBuffer& picture)
{
    std::vector<PixelBuffer> levels;
    const PixelBuffer* above = &picture;
    while (above->Width > 1 || above->Height > 1) {
        levels.push_back(HalveLevel(*above));
        above = &levels.back();
    }
    return levels;
}

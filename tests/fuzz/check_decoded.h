// The promises every image decoder keeps, checked on each fuzz input.
#pragma once

#include <cstdlib>

#include "textures/textures.h"

inline void CheckDecoded(const DecodeResult& result)
{
    if (!result.Ok) {
        if (result.Caption.empty() || result.Text.empty() || !result.Picture.Pixels.empty())
            std::abort();
        return;
    }
    const PixelBuffer& picture = result.Picture;
    const std::size_t channels = picture.Format == GL_RGBA ? 4 : picture.Format == GL_RGB ? 3 : 0;
    if (channels == 0 || picture.Pixels.size() != std::size_t{picture.Width} * picture.Height * channels)
        std::abort();
}

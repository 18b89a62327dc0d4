// The mipmap levels below a picture, worked out on the CPU so that any thread can build them.
#pragma once

#include <vector>

#include "textures/textures.h"

// True when both sides are powers of two: GLU keeps such a picture as it is and only halves it,
// which is what BuildMipChain does. Other sizes are first rescaled by GLU and are left to it.
bool HasPowerOfTwoSides(const PixelBuffer& picture);

// The level below: each texel the rounded mean of the 2 x 2 texels above it, or of the 2 x 1 once a
// side is down to one texel (truncated, as GLU does there).
PixelBuffer HalveLevel(const PixelBuffer& level);

// Levels 1, 2, ... down to 1 x 1 of a picture with power-of-two sides; empty for a 1 x 1 picture.
std::vector<PixelBuffer> BuildMipChain(const PixelBuffer& picture);

// Canvas: the floating-point RGBA picture every generator paints into, and its basic operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One pixel as linear-ish display values; 0..1 is the displayable range, paint may overshoot.
struct Colour {
    float R = 0, G = 0, B = 0, A = 1;
};

// Row 0 is the TOP row while painting; the writers flip to bottom-up on output.
struct Canvas {
    int Width = 0;
    int Height = 0;
    std::vector<Colour> Pixels;
};

// One channel of coverage (text, shapes) with the same top-down layout.
struct Mask {
    int Width = 0;
    int Height = 0;
    std::vector<float> Values;
};

Canvas MakeCanvas(int width, int height, Colour fill);
Mask MakeMask(int width, int height);

inline Colour& At(Canvas& canvas, int x, int y)
{
    return canvas.Pixels[static_cast<size_t>(y) * canvas.Width + x];
}
inline float& At(Mask& mask, int x, int y)
{
    return mask.Values[static_cast<size_t>(y) * mask.Width + x];
}
inline float At(const Mask& mask, int x, int y)
{
    return mask.Values[static_cast<size_t>(y) * mask.Width + x];
}

Colour Rgb(float r, float g, float b, float a = 1);
Colour Hex(uint32_t rgb);
Colour Mix(Colour a, Colour b, float t);
Colour Scale(Colour c, float k);
Colour Add(Colour a, Colour b);
float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float x);

// A colour ramp: evenly spaced stops, looked up with t in 0..1 (clamped).
Colour Ramp(const std::vector<Colour>& stops, float t);

// Paint `c` over the pixel with coverage `amount` (alpha compositing onto an opaque or RGBA pixel).
void BlendOver(Colour& dst, Colour c, float amount);
// Light added to a pixel, as the demo's additive layers do.
void AddLight(Colour& dst, Colour c, float amount);

// Scales colours down smoothly where they run above 1, so bright glows keep their hue instead of clipping.
void ToneMap(Canvas& canvas);

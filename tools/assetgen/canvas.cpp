// Canvas operations: colour arithmetic, compositing and tone mapping.
#include "tools/assetgen/canvas.h"

#include <algorithm>
#include <cmath>

Canvas MakeCanvas(int width, int height, Colour fill)
{
    Canvas canvas;
    canvas.Width = width;
    canvas.Height = height;
    canvas.Pixels.assign(static_cast<size_t>(width) * height, fill);
    return canvas;
}

Mask MakeMask(int width, int height)
{
    Mask mask;
    mask.Width = width;
    mask.Height = height;
    mask.Values.assign(static_cast<size_t>(width) * height, 0.0f);
    return mask;
}

Colour Rgb(float r, float g, float b, float a)
{
    return Colour{r, g, b, a};
}

Colour Hex(uint32_t rgb)
{
    return Colour{((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, 1.0f};
}

Colour Mix(Colour a, Colour b, float t)
{
    return Colour{a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t, a.A + (b.A - a.A) * t};
}

Colour Scale(Colour c, float k)
{
    return Colour{c.R * k, c.G * k, c.B * k, c.A};
}

Colour Add(Colour a, Colour b)
{
    return Colour{a.R + b.R, a.G + b.G, a.B + b.B, a.A};
}

float Clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float SmoothStep(float edge0, float edge1, float x)
{
    float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Colour Ramp(const std::vector<Colour>& stops, float t)
{
    t = Clamp01(t) * static_cast<float>(stops.size() - 1);
    int i = std::min(static_cast<int>(t), static_cast<int>(stops.size()) - 2);
    return Mix(stops[i], stops[i + 1], t - static_cast<float>(i));
}

void BlendOver(Colour& dst, Colour c, float amount)
{
    float a = Clamp01(amount * c.A);
    float outA = a + dst.A * (1 - a);
    if (outA <= 0) {
        dst = Colour{0, 0, 0, 0};
        return;
    }
    float keep = dst.A * (1 - a);
    dst.R = (c.R * a + dst.R * keep) / outA;
    dst.G = (c.G * a + dst.G * keep) / outA;
    dst.B = (c.B * a + dst.B * keep) / outA;
    dst.A = outA;
}

void AddLight(Colour& dst, Colour c, float amount)
{
    dst.R += c.R * amount;
    dst.G += c.G * amount;
    dst.B += c.B * amount;
}

void ToneMap(Canvas& canvas)
{
    for (Colour& c : canvas.Pixels) {
        float peak = std::max(c.R, std::max(c.G, c.B));
        if (peak > 0.8f) {
            // Soft knee: values above 0.8 approach 1 asymptotically; spill a little into white for hot spots.
            float mapped = 0.8f + 0.2f * (1 - std::exp(-(peak - 0.8f) / 0.2f));
            float k = mapped / peak;
            float spill = Clamp01((peak - 1.2f) * 0.25f);
            c.R = c.R * k + (mapped - c.R * k) * spill;
            c.G = c.G * k + (mapped - c.G * k) * spill;
            c.B = c.B * k + (mapped - c.B * k) * spill;
        }
    }
}

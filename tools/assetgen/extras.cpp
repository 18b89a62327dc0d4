// The four small pictures the demo loads without showing: kept real so every load is a real decode.
#include <cmath>

#include "tools/assetgen/draw.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/pictures.h"

using namespace Palette;

Canvas PaintVrl()
{
    const int size = 128;
    Canvas canvas = MakeCanvas(size, size, Night);
    Supersample(canvas, 3, [&](float px, float py) {
        float u = px / size - 0.5f, v = py / size;
        if (v < 0.55f) {
            Colour c = Mix(Indigo, Magenta, SmoothStep(0.1f, 0.55f, v));
            float sun = std::sqrt(u * u + (v - 0.5f) * (v - 0.5f));
            if (sun < 0.2f && std::fmod(v * 40, 2.0f) > (0.55f - v) * 8)
                c = Mix(Amber, Cream, 0.5f * (0.55f - v) / 0.35f);
            return c;
        }
        // Perspective grid on the floor.
        float depth = 1.0f / (v - 0.55f + 0.02f);
        float gx = u * depth * 2, gz = depth * 0.5f;
        float line = std::max(GlowFalloff(gx - std::round(gx), 0.04f * depth * 0.3f),
                              GlowFalloff(gz - std::round(gz), 0.05f * depth * 0.2f));
        Colour c = Mix(Night, Indigo, 0.4f);
        AddLight(c, Magenta, line);
        return c;
    });
    ToneMap(canvas);
    return canvas;
}

Canvas PaintTunel()
{
    const int size = 256;
    Canvas canvas = MakeCanvas(size, size, Night);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size * 4, v = (y + 0.5f) / size * 4;
            float fu = u - std::floor(u), fv = v - std::floor(v);
            float seam = std::min(std::min(fu, 1 - fu), std::min(fv, 1 - fv));
            float grain = FractalNoise(u * 4, v * 4, 4, 0.5f, 16, 101);
            Colour c = Mix(Hex(0x1a1830), Hex(0x34304c), 0.5f + 0.5f * grain);
            c = Scale(c, 0.55f + 0.45f * SmoothStep(0.0f, 0.06f, seam));
            AddLight(c, Cyan, 0.6f * GlowFalloff(seam, 0.012f));
            for (float rx : {0.12f, 0.88f})
                for (float ry : {0.12f, 0.88f}) {
                    float d = std::sqrt((fu - rx) * (fu - rx) + (fv - ry) * (fv - ry));
                    c = Mix(c, Hex(0x8a86a0), EdgeCoverage((d - 0.035f) * size / 4, 1.5f));
                }
            At(canvas, x, y) = c;
        }
    }
    ToneMap(canvas);
    return canvas;
}

Canvas PaintKwadraty()
{
    const int size = 128;
    Canvas canvas = MakeCanvas(size, size, Night);
    const Colour tints[] = {Violet, Magenta, Amber, Cyan, Teal, Orange};
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            int cx = x / 16, cy = y / 16;
            float fx = (x % 16 + 0.5f) / 16 - 0.5f, fy = (y % 16 + 0.5f) / 16 - 0.5f;
            float box = std::max(std::fabs(fx), std::fabs(fy));
            Colour tint = tints[HashInts(cx, cy, 0, 111) % 6];
            float rings = std::fmod(box * 8 + HashUnit(cx, cy, 1, 111) * 2, 2.0f) < 1 ? 1.0f : 0.45f;
            At(canvas, x, y) = Scale(Mix(tint, Night, box * 1.2f), rings);
        }
    }
    return canvas;
}

Canvas PaintDraty()
{
    const int size = 128;
    Canvas canvas = MakeCanvas(size, size, Night);
    const Colour tints[] = {Cyan, Amber, Magenta, Cream, Violet};
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            Colour c = Scale(Indigo, 0.4f);
            for (int i = 0; i < 5; i++) {
                float wire = 0.15f + 0.17f * i + 0.08f * std::sin(u * 6.2831853f * (1 + i % 3) + i);
                AddLight(c, tints[i], 0.8f * GlowFalloff(v - wire, 0.008f) + 0.2f * GlowFalloff(v - wire, 0.03f));
            }
            At(canvas, x, y) = c;
        }
    }
    ToneMap(canvas);
    return canvas;
}

// Painting helpers shared by the picture generators: shapes, glows, gradients and lettering.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/text.h"

// The palette every picture draws from, so the demo reads as one piece.
namespace Palette {
extern const Colour Night;    // near-black blue, the deepest shadow
extern const Colour Indigo;   // dark backgrounds
extern const Colour Violet;   // mid tones, matches the violet spinner tint
extern const Colour Magenta;  // hot accents
extern const Colour Amber;    // warm light
extern const Colour Orange;   // warm mid tones
extern const Colour Cyan;     // cold light
extern const Colour Teal;     // cold mid tones
extern const Colour Cream;    // highlights
}  // namespace Palette

// Antialiased coverage of a shape edge: 1 inside (signed distance < 0), 0 outside, over `soft` pixels.
float EdgeCoverage(float signedDistance, float soft);

// Signed distance from (x, y) to a box of half-size (halfWidth, halfHeight) with rounded corners.
float RoundedBoxDistance(float x, float y, float halfWidth, float halfHeight, float radius);

// Light that falls off as exp(-(d / radius)^2).
float GlowFalloff(float distance, float radius);

// Lettering painted onto an RGBA canvas: an outline of `outline` colour and a fill whose colour
// follows `fill` from the top (0) to the bottom (1) of the letters.
struct Lettering {
    std::string Text;
    TextStyle Style;
    float CentreX = 0, CentreY = 0;
    std::vector<Colour> Fill;
    Colour Outline;
    float OutlineWidth = 0;  // 0: no outline
    float ShadowOffset = 0;  // drop shadow down and right, in pixels; 0: none
    Colour Shadow;
};
bool PaintLettering(Canvas& canvas, const Lettering& lettering);

// Box sampling of a shading function with n x n samples per pixel; u, v are pixel coordinates.
template <typename Shade>
void Supersample(Canvas& canvas, int n, Shade shade)
{
    for (int y = 0; y < canvas.Height; y++) {
        for (int x = 0; x < canvas.Width; x++) {
            Colour sum{0, 0, 0, 0};
            for (int sy = 0; sy < n; sy++) {
                for (int sx = 0; sx < n; sx++) {
                    Colour c = shade(x + (sx + 0.5f) / n, y + (sy + 0.5f) / n);
                    sum.R += c.R;
                    sum.G += c.G;
                    sum.B += c.B;
                    sum.A += c.A;
                }
            }
            float k = 1.0f / static_cast<float>(n * n);
            At(canvas, x, y) = Colour{sum.R * k, sum.G * k, sum.B * k, sum.A * k};
        }
    }
}

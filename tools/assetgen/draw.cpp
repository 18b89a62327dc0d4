// Shared painting helpers: the palette, edges, glows and outlined lettering.
#include "tools/assetgen/draw.h"

#include <algorithm>
#include <cmath>

namespace Palette {
const Colour Night = Hex(0x07051a);
const Colour Indigo = Hex(0x1c1050);
const Colour Violet = Hex(0x6a28b8);
const Colour Magenta = Hex(0xff2e8e);
const Colour Amber = Hex(0xffb238);
const Colour Orange = Hex(0xff6418);
const Colour Cyan = Hex(0x46d9ff);
const Colour Teal = Hex(0x0e6478);
const Colour Cream = Hex(0xfff3dc);
}  // namespace Palette

float EdgeCoverage(float signedDistance, float soft)
{
    return Clamp01(0.5f - signedDistance / soft);
}

float RoundedBoxDistance(float x, float y, float halfWidth, float halfHeight, float radius)
{
    float qx = std::fabs(x) - halfWidth + radius;
    float qy = std::fabs(y) - halfHeight + radius;
    float outside = std::sqrt(std::max(qx, 0.0f) * std::max(qx, 0.0f) + std::max(qy, 0.0f) * std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float GlowFalloff(float distance, float radius)
{
    float q = distance / radius;
    return std::exp(-q * q);
}

bool PaintLettering(Canvas& canvas, const Lettering& lettering)
{
    Mask fill = MakeMask(canvas.Width, canvas.Height);
    if (!DrawTextCentred(fill, lettering.Text, lettering.Style, lettering.CentreX, lettering.CentreY))
        return false;
    TextStyle plain = lettering.Style;
    plain.Stroke = 0;
    TextBox box = MeasureText(lettering.Text, plain);
    float height = std::max(1.0f, box.Bottom - box.Top);
    float top = lettering.CentreY - height / 2;
    Mask outline;
    if (lettering.OutlineWidth > 0) {
        outline = MakeMask(canvas.Width, canvas.Height);
        TextStyle stroked = lettering.Style;
        stroked.Stroke = lettering.OutlineWidth;
        DrawTextCentred(outline, lettering.Text, stroked, lettering.CentreX, lettering.CentreY);
        for (size_t i = 0; i < outline.Values.size(); i++)
            outline.Values[i] = std::max(outline.Values[i], fill.Values[i]);
    }
    if (lettering.ShadowOffset > 0) {
        const Mask& source = lettering.OutlineWidth > 0 ? outline : fill;
        int d = static_cast<int>(std::lround(lettering.ShadowOffset));
        for (int y = 0; y < canvas.Height; y++)
            for (int x = 0; x < canvas.Width; x++)
                if (x - d >= 0 && y - d >= 0)
                    BlendOver(At(canvas, x, y), lettering.Shadow, At(source, x - d, y - d));
    }
    for (int y = 0; y < canvas.Height; y++) {
        Colour fillColour = Ramp(lettering.Fill, (y + 0.5f - top) / height);
        for (int x = 0; x < canvas.Width; x++) {
            if (lettering.OutlineWidth > 0)
                BlendOver(At(canvas, x, y), lettering.Outline, At(outline, x, y));
            BlendOver(At(canvas, x, y), fillColour, At(fill, x, y));
        }
    }
    return true;
}

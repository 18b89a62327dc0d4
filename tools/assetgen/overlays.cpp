// Layers with transparency: the title logo, the frame around it, the spinner and a particle sprite.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/draw.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/pictures.h"

using namespace Palette;

static const float Pi = 3.14159265f;

// Transparent texels carry the outline colour, so filtering at the edges darkens rather than glows.
static Canvas MakeClearCanvas(int width, int height)
{
    return MakeCanvas(width, height, Rgb(0.03f, 0.02f, 0.08f, 0));
}

Canvas PaintLogo()
{
    const int size = 512;
    Canvas canvas = MakeClearCanvas(size, size);
    const float cx = size / 2.0f, cy = size * 0.47f;
    // An orbit around the title: the far half goes behind the letters, the near half in front.
    auto orbit = [&](bool nearHalf) {
        for (int y = 0; y < size; y++) {
            for (int x = 0; x < size; x++) {
                float dx = (x + 0.5f - cx) / 236, dy = (y + 0.5f - cy - 6) / 92;
                float along = std::sqrt(dx * dx + dy * dy);
                if ((dy > 0) != nearHalf)
                    continue;
                float d = std::fabs(along - 1) * 92;  // roughly pixels across the band
                float cover = EdgeCoverage(d - 4.5f, 1.4f);
                if (cover <= 0)
                    continue;
                float shine = 0.5f + 0.5f * std::cos(std::atan2(dy, dx) * 2 + 0.6f);
                Colour c = Mix(Magenta, Mix(Amber, Cream, 0.4f), shine);
                c = Mix(Night, c, EdgeCoverage(d - 2.6f, 1.4f));
                BlendOver(At(canvas, x, y), c, cover);
            }
        }
    };
    // A slanted backing plate keeps the chrome letters readable over the busy cube.
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float px = x + 0.5f - cx + (y + 0.5f - cy) * 0.35f, py = y + 0.5f - cy;
            float d = RoundedBoxDistance(px, py, 206, 60, 14);
            float plate = EdgeCoverage(d, 1.4f);
            float rim = EdgeCoverage(std::fabs(d + 4) - 1.5f, 1.2f);
            Colour c = Mix(Hex(0x140a36), Hex(0x2c1260), Clamp01((y - cy + 60) / 120));
            c = Mix(c, Amber, rim);
            BlendOver(At(canvas, x, y), c, plate * (0.72f + 0.28f * rim));
        }
    }
    orbit(false);
    Lettering title;
    title.Text = "MORAVEL";
    title.Style.Font = FontSansBold;
    title.Style.PixelHeight = 100;
    title.Style.Stretch = 0.8f;  // condensed, so the letters can stand taller in the square
    title.Style.Slant = 0.12f;
    title.Style.Tracking = 2;
    TextBox natural = MeasureText(title.Text, title.Style);
    title.Style.PixelHeight *= 420 / (natural.Right - natural.Left);
    title.CentreX = cx;
    title.CentreY = cy;
    title.Fill = {Hex(0xe8f8ff), Hex(0x9fd8ff), Hex(0x4a7ad0), Hex(0x2a0e40), Orange, Amber, Cream};
    title.Outline = Night;
    title.OutlineWidth = 5;
    title.ShadowOffset = 7;
    title.Shadow = Rgb(0, 0, 0, 0.75f);
    PaintLettering(canvas, title);
    orbit(true);
    Lettering group;
    group.Text = "OSTREVIA 2K4";
    group.Style.Font = FontSansBold;
    group.Style.PixelHeight = 26;
    group.Style.Tracking = 6;
    group.CentreX = cx;
    group.CentreY = cy + 112;
    group.Fill = {Cream, Amber};
    group.Outline = Night;
    group.OutlineWidth = 3.5f;
    PaintLettering(canvas, group);
    return canvas;
}

Canvas PaintMaska()
{
    const int size = 512;
    Canvas canvas = MakeClearCanvas(size, size);
    const float pixel = 1.0f / size;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // The window around the logo; the logo fills the middle half of this picture.
            float d = RoundedBoxDistance(u - 0.5f, v - 0.5f, 0.452f, 0.288f, 0.06f) / pixel;
            float frame = 1 - EdgeCoverage(d, 1.4f);
            if (frame <= 0)
                continue;
            float grain = FractalNoise(u * 40, v * 6, 2, 0.5f, 0, 91);
            Colour c = Mix(Hex(0x0a0620), Hex(0x1a0e40), 0.5f + 0.3f * grain + 0.4f * std::fabs(v - 0.5f));
            c = Scale(c, (y % 3 == 0) ? 0.78f : 1.0f);
            // Bevel: a bright amber lip on the window, a cyan hairline a little further out.
            AddLight(c, Amber, 0.95f * EdgeCoverage(std::fabs(d - 2.5f) - 1.5f, 1.2f));
            AddLight(c, Cyan, 0.6f * EdgeCoverage(std::fabs(d - 9) - 0.6f, 1.2f));
            // Ruler ticks along the bars that stay on screen.
            float band = std::fabs(v - 0.5f);
            if (band > 0.3f && band < 0.37f) {
                int tick = static_cast<int>(u * 64);
                float f = u * 64 - static_cast<float>(tick);
                float length = (tick % 8 == 0) ? 0.03f : 0.012f;
                float inner = band - 0.3f - 0.012f;
                if (inner > 0 && inner < length && f > 0.4f && f < 0.6f)
                    AddLight(c, Cyan, 0.35f);
            }
            At(canvas, x, y) = c;
            At(canvas, x, y).A = frame;
        }
    }
    // Corner brackets reach into the window like a viewfinder.
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float ax = std::fabs((x + 0.5f) / size - 0.5f) * size, ay = std::fabs((y + 0.5f) / size - 0.5f) * size;
            float bx = 0.452f * size - 16, by = 0.288f * size - 16;
            bool horizontal = ay > by - 3 && ay < by + 1 && ax > bx - 34 && ax < bx + 6;
            bool vertical = ax > bx - 3 && ax < bx + 1 && ay > by - 34 && ay < by + 6;
            if (horizontal || vertical)
                BlendOver(At(canvas, x, y), Mix(Amber, Cream, 0.4f), 1);
        }
    }
    Lettering left;
    left.Style.Font = FontMonoBold;
    left.Style.PixelHeight = 17;
    left.Style.Tracking = 3;
    left.Fill = {Cyan, Mix(Cyan, Cream, 0.5f)};
    left.Outline = Night;
    left.OutlineWidth = 1.5f;
    left.CentreY = size * 0.168f;
    left.Text = "OSTREVIA";
    left.CentreX = size * 0.2f;
    PaintLettering(canvas, left);
    left.Text = "2K4";
    left.CentreX = size * 0.84f;
    PaintLettering(canvas, left);
    left.Text = "MORAVEL";
    left.CentreY = size * 0.834f;
    left.CentreX = size * 0.5f;
    left.Fill = {Amber, Cream};
    PaintLettering(canvas, left);
    // Status lights in the top bar.
    for (int i = 0; i < 10; i++) {
        float lx = size * (0.4f + 0.022f * i), ly = size * 0.168f;
        Colour tint = i < 6 ? Cyan : (i < 8 ? Amber : Magenta);
        for (int y = static_cast<int>(ly) - 6; y <= static_cast<int>(ly) + 6; y++)
            for (int x = static_cast<int>(lx) - 6; x <= static_cast<int>(lx) + 6; x++) {
                float d = RoundedBoxDistance(x + 0.5f - lx, y + 0.5f - ly, 3.5f, 3.5f, 1);
                AddLight(At(canvas, x, y), tint, 0.9f * EdgeCoverage(d, 1.2f));
            }
    }
    return canvas;
}

Canvas PaintObrotnik()
{
    const int size = 256;
    Canvas canvas = MakeClearCanvas(size, size);
    const float pixel = 2.0f / size;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float px = (x + 0.5f) / size * 2 - 1, py = (y + 0.5f) / size * 2 - 1;
            float r = std::sqrt(px * px + py * py);
            float a = std::atan2(py, px);
            Colour& out = At(canvas, x, y);
            float light = 0.55f + 0.45f * std::cos(a - 2.3f);  // brushed metal caught from the upper left
            // Tinted glass between hub and rim; blended at half strength, so what is behind shows through.
            float glass = EdgeCoverage((std::fabs(r - 0.49f) - 0.29f) / pixel, 1.4f);
            Colour glassColour = Mix(Hex(0x2a1870), Hex(0x1a6a9a), 0.5f + 0.5f * std::sin(a * 3 + r * 6));
            BlendOver(out, glassColour, 0.55f * glass);
            // Toothed outer rim.
            float tooth = SmoothStep(-0.25f, 0.25f, std::cos(a * 18));
            float outer = 0.895f + 0.06f * tooth;
            float rim = EdgeCoverage(std::max(0.77f - r, r - outer) / pixel, 1.4f);
            Colour rimColour = Mix(Mix(Orange, Amber, light), Cream, 0.5f * light * light);
            rimColour = Mix(rimColour, Night, 0.7f * EdgeCoverage((std::fabs(r - 0.83f) - 0.006f) / pixel, 1.2f));
            BlendOver(out, rimColour, rim);
            // Broken middle ring.
            float segment = std::fmod(a + Pi + 0.1f, 2 * Pi / 8) / (2 * Pi / 8);
            float gaps = EdgeCoverage((std::fabs(segment - 0.5f) - 0.42f) * 2 * Pi / 8 * 0.62f / pixel, 1.4f);
            float middle = EdgeCoverage((std::fabs(r - 0.62f) - 0.035f) / pixel, 1.4f) * gaps;
            BlendOver(out, Mix(Mix(Cyan, Cream, 0.3f), Teal, 1 - light), middle);
            // Five tapered spokes from hub to ring.
            float sector = std::fmod(a + Pi * 2 + Pi / 2, 2 * Pi / 5) - Pi / 5;
            float across = std::fabs(std::sin(sector)) * r;
            float halfWidth = 0.05f * (1 - 0.6f * SmoothStep(0.18f, 0.6f, r));
            float spoke = EdgeCoverage((across - halfWidth) / pixel, 1.4f) *
                          EdgeCoverage((std::max(0.17f - r, r - 0.6f)) / pixel, 1.4f);
            spoke *= std::cos(sector) > 0 ? 1.0f : 0.0f;
            BlendOver(out, Mix(Mix(Amber, Cream, 0.5f), Orange, 0.5f * (1 - light)), spoke);
            // Hub with a hole.
            float hub = EdgeCoverage((std::fabs(r - 0.14f) - 0.065f) / pixel, 1.4f);
            BlendOver(out, Mix(Cream, Cyan, 0.4f * (1 - light)), hub);
            float hubLine = EdgeCoverage((std::fabs(r - 0.14f) - 0.008f) / pixel, 1.2f);
            BlendOver(out, Night, 0.8f * hubLine * hub);
        }
    }
    return canvas;
}

Canvas PaintParticles()
{
    const int size = 64;
    Canvas canvas = MakeCanvas(size, size, Rgb(0, 0, 0));
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float px = (x + 0.5f) / size * 2 - 1, py = (y + 0.5f) / size * 2 - 1;
            float r = std::sqrt(px * px + py * py);
            Colour c = Rgb(0, 0, 0);
            AddLight(c, Cream, 1.2f * GlowFalloff(r, 0.12f));
            AddLight(c, Amber, 0.7f * GlowFalloff(r, 0.35f));
            AddLight(c, Orange, 0.5f * GlowFalloff(std::fabs(px), 0.04f) * GlowFalloff(std::fabs(py), 0.6f));
            AddLight(c, Orange, 0.5f * GlowFalloff(std::fabs(py), 0.04f) * GlowFalloff(std::fabs(px), 0.6f));
            // Quantise the faint skirt to black so the sprite keeps long runs of equal pixels.
            float fade = SmoothStep(0.8f, 0.95f, r);
            At(canvas, x, y) = Scale(c, 1 - fade);
        }
    }
    ToneMap(canvas);
    return canvas;
}

// The desktop icon: a night-blue tile with the title's chrome initial inside the logo's orbit,
// painted at each size it is installed in (small sizes get their own strokes, not a shrunk copy).
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/assetgen/draw.h"
#include "tools/assetgen/pictures.h"

using namespace Palette;

namespace {

// Shape sizes are laid out on a 256-pixel tile and scaled to the real one.
struct Layout {
    float Unit;  // pixels per layout pixel
    float Soft;  // antialiasing width in pixels: at least one pixel, however small the icon
};

// The orbit ring around the initial, tilted like the logo's; one half at a time, so the far half
// can go behind the letter and the near half in front of it.
void PaintOrbit(Canvas& canvas, const Layout& layout, bool nearHalf)
{
    const float cx = canvas.Width / 2.0f, cy = canvas.Height * 0.52f;
    const float across = 104 * layout.Unit, tall = 38 * layout.Unit, tilt = -0.32f;
    const float band = std::max(7 * layout.Unit, 0.8f);
    for (int y = 0; y < canvas.Height; y++) {
        for (int x = 0; x < canvas.Width; x++) {
            float px = x + 0.5f - cx, py = y + 0.5f - cy;
            float u = px * std::cos(tilt) + py * std::sin(tilt), v = -px * std::sin(tilt) + py * std::cos(tilt);
            if ((v > 0) != nearHalf)
                continue;
            float dx = u / across, dy = v / tall;
            float d = std::fabs(std::sqrt(dx * dx + dy * dy) - 1) * tall;  // roughly pixels across the band
            float cover = EdgeCoverage(d - band, layout.Soft);
            if (cover <= 0)
                continue;
            float shine = 0.5f + 0.5f * std::cos(std::atan2(dy, dx) * 2 + 0.6f);
            Colour c = Mix(Magenta, Mix(Amber, Cream, 0.4f), shine);
            c = Mix(Night, c, EdgeCoverage(d - band * 0.6f, layout.Soft));
            BlendOver(At(canvas, x, y), c, cover);
        }
    }
}

Canvas PaintIcon(int size)
{
    const Layout layout{size / 256.0f, std::max(1.2f, 1.4f * size / 256.0f)};
    Canvas canvas = MakeCanvas(size, size, Rgb(0.03f, 0.02f, 0.08f, 0));
    const float centre = size / 2.0f;
    // The tile: deep night at the top to violet at the bottom, a warm glow behind the letter and an
    // amber rim, rounded like the logo's backing plate.
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float px = x + 0.5f - centre, py = y + 0.5f - centre;
            float d = RoundedBoxDistance(px, py, centre - 2 * layout.Unit, centre - 2 * layout.Unit, 40 * layout.Unit);
            float tile = EdgeCoverage(d, layout.Soft);
            if (tile <= 0)
                continue;
            Colour c = Ramp({Night, Indigo, Hex(0x2c1260), Violet}, (y + 0.5f) / size);
            float glow = GlowFalloff(std::sqrt(px * px + py * py * 1.6f), 78 * layout.Unit);
            c = Mix(c, Mix(Magenta, Amber, 0.35f), 0.35f * glow);
            float rim = EdgeCoverage(std::fabs(d + 6 * layout.Unit) - std::max(2.5f * layout.Unit, 0.5f), layout.Soft);
            c = Mix(c, Amber, 0.85f * rim);
            BlendOver(At(canvas, x, y), c, tile);
        }
    }
    // Below 32 pixels the letter would drown under the ring's near half: the whole ring goes behind
    // it, and the letter's fill skips the dark band of the title's chrome.
    const bool small = size < 32;
    PaintOrbit(canvas, layout, false);
    if (small)
        PaintOrbit(canvas, layout, true);
    Lettering initial;
    // Built from a character: GCC 12 warns falsely (-Wrestrict) on assigning the literal in the sanitized build.
    initial.Text = std::string(1, 'M');
    initial.Style.Font = FontSansBold;
    initial.Style.PixelHeight = 100;
    initial.Style.Slant = 0.12f;
    TextBox natural = MeasureText(initial.Text, initial.Style);
    initial.Style.PixelHeight *= 150 * layout.Unit / (natural.Bottom - natural.Top);
    initial.CentreX = centre;
    initial.CentreY = size * 0.5f;
    if (small)
        initial.Fill = {Hex(0xe8f8ff), Hex(0x9fd8ff), Amber, Cream};
    else
        initial.Fill = {Hex(0xe8f8ff), Hex(0x9fd8ff), Hex(0x4a7ad0), Hex(0x2a0e40), Orange, Amber, Cream};
    initial.Outline = Night;
    initial.OutlineWidth = std::max(7 * layout.Unit, 0.7f);
    initial.ShadowOffset = size >= 48 ? 8 * layout.Unit : 0;
    initial.Shadow = Rgb(0, 0, 0, 0.7f);
    PaintLettering(canvas, initial);
    if (!small)
        PaintOrbit(canvas, layout, true);
    return canvas;
}

}  // namespace

bool WriteIcon(const std::string& path, int size)
{
    const Canvas canvas = PaintIcon(size);
    std::vector<png_byte> pixels;
    pixels.reserve(canvas.Pixels.size() * 4);
    for (const Colour& c : canvas.Pixels)
        for (float v : {c.R, c.G, c.B, c.A})
            pixels.push_back(static_cast<png_byte>(std::lround(Clamp01(v) * 255.0f)));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr)) {
        std::fprintf(stderr, "moravel-assetgen: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

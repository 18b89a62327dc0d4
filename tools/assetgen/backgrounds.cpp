// Surfaces the demo wraps around the viewer or behind its objects: cube, box, star tile, sea and tube skin.
#include <cmath>
#include <vector>

#include "tools/assetgen/draw.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/pictures.h"

using namespace Palette;

static const float Pi = 3.14159265f;

// Distance across a wrapped unit interval.
static float WrapDistance(float a, float b)
{
    float d = std::fabs(a - b);
    d -= std::floor(d);
    return d > 0.5f ? 1 - d : d;
}

// Sparks: tiny glints with a four-pointed flare, added as light.
static void AddSparks(Canvas& canvas, int count, uint32_t seed, float brightness)
{
    Random random{seed};
    const Colour tints[] = {Cream, Amber, Cyan, Magenta};
    for (int i = 0; i < count; i++) {
        float cx = NextRange(random, 0, static_cast<float>(canvas.Width));
        float cy = NextRange(random, 0, static_cast<float>(canvas.Height));
        float size = NextRange(random, 0.6f, 2.2f);
        float power = brightness * NextRange(random, 0.3f, 1.0f);
        Colour tint = Mix(tints[i % 4], Cream, 0.5f);
        int reach = static_cast<int>(size * 6);
        for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; y++) {
            for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; x++) {
                if (x < 0 || y < 0 || x >= canvas.Width || y >= canvas.Height)
                    continue;
                float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                float d = std::sqrt(dx * dx + dy * dy);
                float core = GlowFalloff(d, size);
                float flare = GlowFalloff(std::fabs(dx), size * 0.35f) * GlowFalloff(std::fabs(dy), size * 5) +
                              GlowFalloff(std::fabs(dy), size * 0.35f) * GlowFalloff(std::fabs(dx), size * 5);
                AddLight(At(canvas, x, y), tint, power * (core + 0.5f * flare));
            }
        }
    }
}

Canvas PaintTlo3()
{
    const int size = 512;
    Canvas canvas = MakeCanvas(size, size, Night);
    const std::vector<Colour> ramp = {Night, Indigo, Violet, Magenta, Orange, Amber, Cream};
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Domain-warped clouds: large swirls that carry finer detail along with them.
            float qx = FractalNoise(u * 3, v * 3, 4, 0.5f, 0, 11);
            float qy = FractalNoise(u * 3 + 5.2f, v * 3 + 1.3f, 4, 0.5f, 0, 12);
            float n = FractalNoise(u * 4 + 1.6f * qx, v * 4 + 1.6f * qy, 6, 0.55f, 0, 13);
            float diagonal = (u + (1 - v)) * 0.5f;  // warm toward the top right, which the rose's facets show
            float t = 0.42f + 0.95f * n + 0.32f * (diagonal - 0.5f);
            Colour c = Ramp(ramp, t);
            // Crystal veins: borders of a warped cell pattern, fading in and out with the clouds.
            float edge = CellEdge(u * 9 + 0.8f * qx, v * 9 + 0.8f * qy, 0, 14);
            float vein = GlowFalloff(edge, 0.045f) * SmoothStep(-0.1f, 0.35f, qx + 0.3f * n);
            AddLight(c, Mix(Cyan, Amber, diagonal), 0.55f * vein);
            float fine = CellEdge(u * 31 + 2 * n, v * 31 + 2 * qy, 0, 15);
            AddLight(c, Violet, 0.25f * GlowFalloff(fine, 0.05f));
            // Great arcs around a centre outside the picture give the largest scale.
            float ax = u + 0.35f, ay = v - 1.25f;
            float arc = std::sqrt(ax * ax + ay * ay);
            float rings = GlowFalloff(std::fabs(std::fmod(arc, 0.21f) - 0.105f) - 0.1f, 0.004f);
            AddLight(c, Cyan, 0.35f * rings * SmoothStep(0.2f, 0.6f, n + 0.5f));
            float cx = 1 - u, cy = v;
            AddLight(c, Amber, 0.7f * GlowFalloff(std::sqrt(cx * cx + cy * cy), 0.42f));
            AddLight(c, Cream, 0.6f * GlowFalloff(std::sqrt(cx * cx + cy * cy), 0.12f));
            At(canvas, x, y) = c;
        }
    }
    AddSparks(canvas, 140, 16, 0.9f);
    ToneMap(canvas);
    return canvas;
}

Canvas PaintKreski()
{
    const int size = 256;
    Canvas canvas = MakeCanvas(size, size, Night);
    const Colour tints[] = {Cyan, Violet, Magenta, Cyan, Amber, Teal};
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            Colour c = Scale(Mix(Night, Indigo, v), 0.8f);
            // Main stripes on a slant: one per cell, each with its own width, tint and a bright core.
            float w = (u * 0.5f + v) * 9;
            int cell = static_cast<int>(std::floor(w));
            float f = w - static_cast<float>(cell);
            float width = 0.08f + 0.3f * HashUnit(cell, 0, 0, 21);
            float centre = 0.5f;
            float d = std::fabs(f - centre) - width / 2;
            float body = EdgeCoverage(d * size / 9, 1.2f);
            float core = GlowFalloff(std::fabs(f - centre), 0.015f + width * 0.08f);
            Colour tint = tints[HashInts(cell, 0, 0, 22) % 6];
            float level = 0.25f + 0.5f * HashUnit(cell, 1, 0, 21);
            // Each stripe is broken into dashes along its length, some long, some short.
            float along = (u - v * 0.5f) * (4 + 8 * HashUnit(cell, 2, 0, 21)) + HashUnit(cell, 3, 0, 21);
            float dash = SmoothStep(0.08f, 0.14f, along - std::floor(along)) *
                         (1 - SmoothStep(0.86f, 0.92f, along - std::floor(along)));
            float gloss = 0.6f + 0.4f * std::sin((f - centre) / width * Pi);
            AddLight(c, tint, level * body * (0.35f + 0.65f * dash) * gloss);
            AddLight(c, Mix(tint, Cream, 0.6f), 0.9f * core * dash);
            // Fine scan lines across everything, as on an old screen.
            float scan = 0.5f + 0.5f * std::cos(v * size * Pi * 0.5f);
            c = Scale(c, 0.82f + 0.18f * scan);
            AddLight(c, Cyan, 0.25f * GlowFalloff(WrapDistance(u * 16, 0.5f), 0.02f) * (1 - body));
            At(canvas, x, y) = c;
        }
    }
    ToneMap(canvas);
    return canvas;
}

Canvas PaintTloAch()
{
    const int size = 512;
    Canvas canvas = MakeCanvas(size, size, Night);
    // The picture is shown stretched to 3:2, so shapes are laid out in those proportions.
    auto toScreen = [&](int x, int y, float& sx, float& sy) {
        sx = ((x + 0.5f) / size - 0.5f) * 3;
        sy = ((y + 0.5f) / size - 0.5f) * 2;
    };
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float sx, sy;
            toScreen(x, y, sx, sy);
            float haze = 0.5f + 0.5f * FractalNoise(sx * 1.5f, sy * 1.5f, 4, 0.5f, 0, 31);
            At(canvas, x, y) = Scale(Mix(Night, Indigo, haze * 0.7f), 0.35f);
        }
    }
    struct Bokeh {
        float X, Y, Radius, Level;
        Colour Tint;
    };
    std::vector<Bokeh> lights;
    Random random{32};
    const Colour tints[] = {Amber, Magenta, Cyan, Violet, Orange};
    for (int i = 0; i < 34; i++) {
        Bokeh b;
        b.X = NextRange(random, -1.5f, 1.5f);
        b.Y = NextRange(random, -1.0f, 1.0f);
        b.Radius = 0.03f + 0.2f * std::pow(NextUnit(random), 2.0f);
        b.Level = NextRange(random, 0.12f, 0.4f);
        b.Tint = tints[i % 5];
        lights.push_back(b);
    }
    const float pixel = 3.0f / size;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float sx, sy;
            toScreen(x, y, sx, sy);
            Colour& c = At(canvas, x, y);
            for (const Bokeh& b : lights) {
                float d = std::sqrt((sx - b.X) * (sx - b.X) + (sy - b.Y) * (sy - b.Y));
                if (d > b.Radius * 1.6f)
                    continue;
                float disc = EdgeCoverage((d - b.Radius) / pixel, 1.5f);
                float rim = GlowFalloff(d - b.Radius * 0.94f, b.Radius * 0.08f);
                AddLight(c, b.Tint, b.Level * (0.55f * disc + 0.6f * rim));
            }
            // Two wide rings of light and a flare streak, the big shapes of the layer.
            float r1 = std::sqrt((sx - 0.7f) * (sx - 0.7f) + (sy + 0.25f) * (sy + 0.25f));
            AddLight(c, Cyan, 0.45f * GlowFalloff(r1 - 0.78f, 0.012f) + 0.12f * GlowFalloff(r1 - 0.78f, 0.08f));
            float r2 = std::sqrt((sx + 0.9f) * (sx + 0.9f) + (sy - 0.45f) * (sy - 0.45f));
            AddLight(c, Magenta, 0.4f * GlowFalloff(r2 - 0.45f, 0.01f) + 0.1f * GlowFalloff(r2 - 0.45f, 0.06f));
            float streak = GlowFalloff(sy - 0.12f + 0.05f * sx, 0.012f) * GlowFalloff(sx - 0.3f, 1.1f);
            AddLight(c, Mix(Violet, Cream, 0.3f), 0.8f * streak);
            AddLight(c, Amber,
                     0.5f * GlowFalloff(std::sqrt((sx - 0.3f) * (sx - 0.3f) + (sy - 0.1f) * (sy - 0.1f)), 0.09f));
        }
    }
    AddSparks(canvas, 60, 33, 0.7f);
    ToneMap(canvas);
    return canvas;
}

Canvas PaintHdr()
{
    const int size = 256;
    Canvas canvas = MakeCanvas(size, size, Night);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // A warm body that reads as a solid block, yet dark enough that a hundred overlapping cubes
            // add up without burning out.
            float body = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f));
            Colour c = Mix(Scale(Violet, 0.45f), Scale(Indigo, 0.3f), SmoothStep(0.0f, 0.7f, body));
            AddLight(c, Magenta, 0.18f * GlowFalloff(body, 0.45f));
            float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            AddLight(c, Cream, 1.1f * GlowFalloff(edge, 0.018f));
            AddLight(c, Amber, 0.45f * GlowFalloff(edge, 0.07f));
            AddLight(c, Orange, 0.15f * GlowFalloff(edge, 0.2f));
            float diamond = std::fabs(u - 0.5f) + std::fabs(v - 0.5f);
            AddLight(c, Magenta,
                     0.5f * GlowFalloff(diamond - 0.3f, 0.012f) + 0.12f * GlowFalloff(diamond - 0.3f, 0.06f));
            float centre = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f));
            AddLight(c, Cream, 0.8f * GlowFalloff(centre, 0.05f));
            AddLight(c, Violet, 0.35f * GlowFalloff(centre, 0.16f));
            float grid =
                std::max(GlowFalloff(WrapDistance(u * 8, 0), 0.03f), GlowFalloff(WrapDistance(v * 8, 0), 0.03f));
            AddLight(c, Cyan, 0.08f * grid);
            for (float cx : {0.1f, 0.9f})
                for (float cy : {0.1f, 0.9f})
                    AddLight(c, Cyan, 0.7f * GlowFalloff(std::sqrt((u - cx) * (u - cx) + (v - cy) * (v - cy)), 0.02f));
            At(canvas, x, y) = c;
        }
    }
    ToneMap(canvas);
    return canvas;
}

// Sea-floor weed: a dark wavy stalk from the bottom edge, as a silhouette coverage value.
static float WeedCoverage(float u, float v, float root, float height, float sway, float pixel)
{
    if (v < 1 - height)
        return 0;
    float along = (1 - v) / height;  // 0 at the root, 1 at the tip
    float centre = root + sway * std::sin(along * 5.5f + root * 20) * along;
    float width = 0.012f * (1 - along) + 0.002f;
    return EdgeCoverage((std::fabs(u - centre) - width) / pixel, 1.5f);
}

Canvas PaintBakba()
{
    const int size = 512;
    Canvas canvas = MakeCanvas(size, size, Night);
    const std::vector<Colour> depthRamp = {Mix(Teal, Cyan, 0.35f), Teal, Hex(0x0b2f63), Hex(0x081a40), Night};
    const float pixel = 1.0f / size;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            float wobble = FractalNoise(u * 3, v * 3, 3, 0.5f, 0, 41);
            Colour c = Ramp(depthRamp, v * 1.05f + 0.08f * wobble);
            // Caustics: the bright net that waves throw on shallow water, strongest near the surface.
            float wx = FractalNoise(u * 4, v * 4, 3, 0.5f, 0, 42);
            float wy = FractalNoise(u * 4 + 3.1f, v * 4 + 7.7f, 3, 0.5f, 0, 43);
            float net = CellEdge(u * 8 + 0.6f * wx, v * 11 + 0.6f * wy, 0, 44);
            float surface = 1 - SmoothStep(0.0f, 0.75f, v);
            AddLight(c, Mix(Cyan, Cream, 0.3f), 0.5f * surface * GlowFalloff(net, 0.05f));
            // Sun rays from beyond the top-right corner.
            float sx = u - 1.08f, sy = v + 0.1f;
            float dist = std::sqrt(sx * sx + sy * sy);
            float angle = std::atan2(sy, -sx);
            float rays = std::pow(0.5f + 0.5f * GradientNoise(angle * 14, 0.5f, 0, 45), 3.0f);
            float rayFade = GlowFalloff(dist, 1.0f);
            AddLight(c, Mix(Amber, Cyan, SmoothStep(0.2f, 1.0f, dist)), 0.55f * rays * rayFade);
            AddLight(c, Orange, 0.7f * GlowFalloff(dist, 0.72f));
            AddLight(c, Amber, 0.45f * GlowFalloff(dist, 0.3f));
            AddLight(c, Cream, 0.35f * GlowFalloff(dist, 0.1f));
            // Weed silhouettes along the floor.
            float weed = 0;
            for (int i = 0; i < 9; i++) {
                float root = 0.04f + 0.11f * i + 0.04f * HashUnit(i, 0, 0, 46);
                float height = 0.15f + 0.25f * HashUnit(i, 1, 0, 46);
                weed = std::max(weed, WeedCoverage(u, v, root, height, 0.03f, pixel));
            }
            BlendOver(c, Scale(Night, 0.6f), weed * 0.9f);
            At(canvas, x, y) = c;
        }
    }
    // Rising bubbles: thin rings with a highlight.
    Random random{47};
    for (int i = 0; i < 40; i++) {
        float bx = NextRange(random, 0.05f, 0.95f) * size;
        float by = NextRange(random, 0.25f, 0.98f) * size;
        float r = NextRange(random, 1.5f, 7.0f);
        for (int y = static_cast<int>(by - r - 3); y <= static_cast<int>(by + r + 3); y++) {
            for (int x = static_cast<int>(bx - r - 3); x <= static_cast<int>(bx + r + 3); x++) {
                if (x < 0 || y < 0 || x >= size || y >= size)
                    continue;
                float dx = x + 0.5f - bx, dy = y + 0.5f - by;
                float d = std::sqrt(dx * dx + dy * dy);
                float ring = GlowFalloff(d - r, 0.7f);
                float shine = GlowFalloff(
                    std::sqrt((dx + r * 0.4f) * (dx + r * 0.4f) + (dy + r * 0.4f) * (dy + r * 0.4f)), r * 0.25f);
                AddLight(At(canvas, x, y), Mix(Cyan, Cream, 0.5f), 0.35f * ring + 0.4f * shine);
            }
        }
    }
    AddSparks(canvas, 90, 48, 0.25f);
    ToneMap(canvas);
    return canvas;
}

Canvas PaintCzarna()
{
    const int size = 256;
    Canvas canvas = MakeCanvas(size, size, Night);
    struct Streak {
        float X, Sway, Width, Level;
        int Waves;
        Colour Tint;
    };
    std::vector<Streak> streaks;
    Random random{51};
    const Colour tints[] = {Cyan, Amber, Magenta, Cyan, Cream, Orange, Cyan, Violet, Amber, Cyan, Magenta};
    for (int i = 0; i < 11; i++)
        streaks.push_back(Streak{(i + NextRange(random, 0.2f, 0.8f)) / 11, NextRange(random, 0.01f, 0.04f),
                                 NextRange(random, 0.003f, 0.01f), NextRange(random, 0.5f, 1.0f),
                                 1 + static_cast<int>(NextUnit(random) * 2), tints[i]});
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Every term repeats across the tile, so the skin wraps round the tube and along it without seams.
            float grain = FractalNoise(u * 8, v * 8, 4, 0.55f, 8, 52);
            float scales = CellEdge(u * 12, v * 12, 12, 53);
            Colour c = Mix(Hex(0x0a0716), Hex(0x1e1430), 0.5f + 0.6f * grain);
            c = Scale(c, 0.7f + 0.3f * SmoothStep(0.0f, 0.12f, scales));
            AddLight(c, Violet, 0.06f * GlowFalloff(scales, 0.03f));
            for (const Streak& s : streaks) {
                float centre = s.X + s.Sway * std::sin(2 * Pi * (v * s.Waves + s.X));
                float d = WrapDistance(u, centre);
                float pulse = 0.5f + 0.5f * FractalNoise(v * 4, s.X * 16, 2, 0.5f, 4, 54);
                pulse = SmoothStep(0.25f, 0.7f, pulse);
                AddLight(c, s.Tint,
                         s.Level * pulse * (0.5f * GlowFalloff(d, s.Width * 3) + 0.25f * GlowFalloff(d, s.Width * 9)));
                AddLight(c, Cream, s.Level * pulse * 0.9f * GlowFalloff(d, s.Width * 0.8f));
            }
            At(canvas, x, y) = c;
        }
    }
    ToneMap(canvas);
    return canvas;
}

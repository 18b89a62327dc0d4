// Full-screen pictures: the chrome-sphere sunset, the group's picture and the end picture.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/draw.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/pictures.h"

using namespace Palette;

namespace {

struct Vec {
    float X, Y, Z;
};
Vec operator+(Vec a, Vec b)
{
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
Vec operator-(Vec a, Vec b)
{
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
Vec operator*(Vec a, float k)
{
    return {a.X * k, a.Y * k, a.Z * k};
}
float Dot(Vec a, Vec b)
{
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
Vec Normalise(Vec a)
{
    return a * (1.0f / std::sqrt(Dot(a, a)));
}

struct Sphere {
    Vec Centre;
    float Radius;
    Colour Tint;    // reflection is multiplied by this
    float Diffuse;  // share of the sun-lit base colour
};

const Sphere Spheres[] = {
    {{0.0f, 1.1f, 6.5f}, 1.1f, Hex(0xe8eaff), 0.05f},   {{-2.5f, 0.65f, 7.8f}, 0.65f, Hex(0xff6fb8), 0.25f},
    {{2.2f, 0.8f, 5.6f}, 0.8f, Hex(0xffc070), 0.2f},    {{0.95f, 0.32f, 4.0f}, 0.32f, Hex(0x70e0ff), 0.3f},
    {{-1.2f, 0.25f, 4.4f}, 0.25f, Hex(0xb890ff), 0.3f},
};
const Vec SunDirection = Normalise(Vec{-0.3f, 0.09f, 1.0f});

Colour SkyColour(Vec d)
{
    const std::vector<Colour> ramp = {Mix(Amber, Cream, 0.3f), Orange, Magenta, Violet, Indigo, Night};
    float h = std::max(0.0f, d.Y);
    Colour c = Ramp(ramp, std::pow(h, 0.6f) * 1.25f);
    float sun = Dot(d, SunDirection);
    AddLight(c, Amber, 0.6f * std::pow(std::max(0.0f, sun), 60.0f));
    // The sun disc, cut by the thin dark bands of an old synthesiser poster.
    if (sun > 0.9965f) {
        float band = std::fmod((d.Y - SunDirection.Y) * 400 + 100, 4.0f);
        bool cut = d.Y < SunDirection.Y && band < (SunDirection.Y - d.Y) * 120;
        if (!cut)
            c = Mix(Cream, Amber, SmoothStep(0.9965f, 1.0f, sun) * 0.2f);
    }
    // Stars high up.
    if (d.Y > 0.25f) {
        float sx = d.X / d.Z * 300, sy = d.Y / d.Z * 300;
        float cell = HashUnit(static_cast<uint32_t>(static_cast<int>(std::floor(sx + 1000))),
                              static_cast<uint32_t>(static_cast<int>(std::floor(sy + 1000))), 0, 61);
        if (cell > 0.985f)
            AddLight(c, Cream, (cell - 0.985f) * 40 * SmoothStep(0.25f, 0.5f, d.Y));
    }
    return c;
}

bool HitSphere(Vec origin, Vec dir, const Sphere& s, float& distance)
{
    Vec oc = origin - s.Centre;
    float b = Dot(oc, dir);
    float c = Dot(oc, oc) - s.Radius * s.Radius;
    float disc = b * b - c;
    if (disc < 0)
        return false;
    float t = -b - std::sqrt(disc);
    if (t < 1e-3f)
        return false;
    distance = t;
    return true;
}

bool InShadow(Vec point)
{
    float t;
    for (const Sphere& s : Spheres)
        if (HitSphere(point, SunDirection, s, t))
            return true;
    return false;
}

Colour Trace(Vec origin, Vec dir, int depth)
{
    float best = 1e9f;
    const Sphere* hit = nullptr;
    for (const Sphere& s : Spheres) {
        float t;
        if (HitSphere(origin, dir, s, t) && t < best) {
            best = t;
            hit = &s;
        }
    }
    float floorT = dir.Y < 0 ? -origin.Y / dir.Y : 1e9f;
    if (hit && best < floorT) {
        Vec p = origin + dir * best;
        Vec n = Normalise(p - hit->Centre);
        Vec r = Normalise(dir - n * (2 * Dot(dir, n)));
        Colour reflected = depth < 3 ? Trace(p, r, depth + 1) : SkyColour(r);
        float lit = std::max(0.0f, Dot(n, SunDirection));
        Colour c{reflected.R * hit->Tint.R, reflected.G * hit->Tint.G, reflected.B * hit->Tint.B, 1};
        AddLight(c, hit->Tint, hit->Diffuse * lit);
        AddLight(c, Cream, 1.2f * std::pow(std::max(0.0f, Dot(r, SunDirection)), 200.0f));
        return c;
    }
    if (floorT < 1e9f) {
        Vec p = origin + dir * floorT;
        int check = (static_cast<int>(std::floor(p.X)) + static_cast<int>(std::floor(p.Z))) & 1;
        Colour base = check ? Hex(0x2a1460) : Hex(0x0c0824);
        float lines = std::max(GlowFalloff(p.X - std::round(p.X), 0.02f), GlowFalloff(p.Z - std::round(p.Z), 0.02f));
        AddLight(base, Magenta, 0.6f * lines);
        if (InShadow(p + Vec{0, 1e-3f, 0}))
            base = Scale(base, 0.45f);
        Vec r{dir.X, -dir.Y, dir.Z};
        Colour reflected = depth < 3 ? Trace(p + Vec{0, 1e-3f, 0}, r, depth + 1) : SkyColour(r);
        float fresnel = 0.25f + 0.6f * std::pow(1 - std::fabs(dir.Y), 5.0f);
        Colour c = Mix(base, reflected, fresnel * 0.6f);
        // Haze toward the horizon.
        float haze = 1 - std::exp(-floorT * 0.035f);
        return Mix(c, SkyColour(Vec{dir.X, 0.0f, dir.Z}), haze);
    }
    return SkyColour(dir);
}

}  // namespace

Canvas PaintBabka()
{
    const int size = 512;
    Canvas canvas = MakeCanvas(size, size, Night);
    const Vec eye{0, 1.25f, 0};
    Supersample(canvas, 2, [&](float px, float py) {
        float u = px / size - 0.5f, v = py / size - 0.5f;
        Vec dir = Normalise(Vec{u * 1.1f, -v * 1.1f - 0.06f, 1});
        return Trace(eye, dir, 0);
    });
    ToneMap(canvas);
    return canvas;
}

// Scales a style so that `text` spans `width` pixels.
static TextStyle FitWidth(const std::string& text, TextStyle style, float width, float maxHeight)
{
    TextBox box = MeasureText(text, style);
    float scale = width / std::max(1.0f, box.Right - box.Left);
    style.PixelHeight = std::min(maxHeight, style.PixelHeight * scale);
    return style;
}

Canvas PaintMk()
{
    const int width = 1024, height = 512;
    // Shown on a 2.2 x 1.4 quad, so texels are 0.786 times as wide as tall on screen.
    const float stretch = (1.4f / height) / (2.2f / width);
    Canvas canvas = MakeCanvas(width, height, Night);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            float dx = ((x + 0.5f) / width - 0.5f) * 2.2f, dy = ((y + 0.5f) / height - 0.5f) * 1.4f;
            float r = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            Colour c = Mix(Mix(Violet, Indigo, 0.4f), Night, SmoothStep(0.0f, 1.0f, r));
            float burst = 0.5f + 0.5f * std::cos(a * 24);
            AddLight(
                c, Violet,
                0.25f * SmoothStep(0.6f, 1.0f, burst) * SmoothStep(0.1f, 0.4f, r) * (1 - SmoothStep(0.5f, 1.2f, r)));
            float clouds = FractalNoise(dx * 2.5f, dy * 2.5f, 5, 0.55f, 0, 71);
            AddLight(c, Magenta, 0.18f * SmoothStep(0.0f, 0.6f, clouds) * (1 - SmoothStep(0.2f, 0.9f, r)));
            // The emblem: a double ring with twelve marks, behind the name.
            float ring = GlowFalloff(r - 0.52f, 0.006f) + 0.8f * GlowFalloff(r - 0.47f, 0.004f);
            AddLight(c, Mix(Amber, Cream, 0.3f), 0.9f * ring);
            AddLight(c, Orange, 0.25f * GlowFalloff(r - 0.5f, 0.06f));
            float marks = SmoothStep(0.97f, 0.995f, std::cos(a * 12)) * GlowFalloff(r - 0.56f, 0.018f);
            AddLight(c, Cream, 0.9f * marks);
            AddLight(c, Violet, 0.5f * GlowFalloff(r, 0.35f));
            At(canvas, x, y) = c;
        }
    }
    ToneMap(canvas);
    Lettering name;
    name.Text = "OSTREVIA";
    name.Style.Font = FontSansBold;
    name.Style.Stretch = stretch;
    name.Style.Tracking = 6;
    name.Style = FitWidth(name.Text, name.Style, width * 0.66f, 200);
    name.CentreX = width / 2.0f;
    name.CentreY = height * 0.47f;
    name.Fill = {Hex(0xd8f4ff), Cream, Hex(0x7fb8ff), Hex(0x3a1c70), Orange, Amber};
    name.Outline = Night;
    name.OutlineWidth = 6;
    name.ShadowOffset = 10;
    name.Shadow = Rgb(0, 0, 0, 0.6f);
    PaintLettering(canvas, name);
    Lettering tag;
    tag.Text = "- demo group 2k4 -";
    tag.Style.Font = FontSans;
    tag.Style.Stretch = stretch;
    tag.Style.Tracking = 5;
    tag.Style.PixelHeight = 30;
    tag.CentreX = width / 2.0f;
    tag.CentreY = height * 0.72f;
    tag.Fill = {Cream, Amber};
    tag.Outline = Night;
    tag.OutlineWidth = 2.5f;
    PaintLettering(canvas, tag);
    return canvas;
}

Canvas PaintEnde()
{
    const int width = 1024, height = 512;
    const float stretch = (1.4f / height) / (2.2f / width);
    Canvas canvas = MakeCanvas(width, height, Night);
    const std::vector<Colour> sky = {Night, Hex(0x120a38), Hex(0x3a1466), Hex(0x8a2c6a)};
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            float dx = ((x + 0.5f) / width - 0.5f) * 2.2f, dy = ((y + 0.5f) / height - 0.5f) * 1.4f;
            Colour c = Ramp(sky, SmoothStep(-0.7f, 0.45f, dy));
            float nebula = FractalNoise(dx * 1.8f + 3, dy * 1.8f, 6, 0.55f, 0, 81);
            float wisps = FractalNoise(dx * 4 + nebula, dy * 4, 4, 0.5f, 0, 82);
            AddLight(c, Violet, 0.35f * SmoothStep(0.0f, 0.7f, nebula + 0.2f * wisps));
            AddLight(c, Teal, 0.25f * SmoothStep(0.2f, 0.8f, wisps - 0.3f * nebula));
            // A planet rises across the bottom; its thin lit rim catches the light of a sun behind it.
            float px = dx, py = dy - 2.95f;
            float pr = std::sqrt(px * px + py * py);
            float edge = pr - 2.55f;
            if (edge < 0) {
                float surface = FractalNoise(dx * 6, dy * 14, 4, 0.5f, 0, 83);
                Colour ground = Mix(Hex(0x05030e), Hex(0x1a0f30), 0.5f + 0.5f * surface);
                c = Mix(c, ground, EdgeCoverage(edge * height / 1.4f, 1.5f));
            }
            AddLight(c, Cyan, 0.7f * GlowFalloff(edge, 0.006f) * SmoothStep(-0.9f, 0.0f, -std::fabs(dx)));
            AddLight(c, Magenta, 0.35f * GlowFalloff(edge - 0.03f, 0.05f));
            AddLight(c, Amber, 0.8f * GlowFalloff(std::sqrt(dx * dx * 0.15f + (dy - 0.4f) * (dy - 0.4f)), 0.08f));
            At(canvas, x, y) = c;
        }
    }
    Random random{84};
    for (int i = 0; i < 260; i++) {
        int x = static_cast<int>(NextUnit(random) * width), y = static_cast<int>(NextUnit(random) * height * 0.8f);
        float level = std::pow(NextUnit(random), 3.0f);
        AddLight(At(canvas, x, y), Cream, 0.3f + 0.7f * level);
        if (level > 0.5f && x > 0 && x < width - 1) {
            AddLight(At(canvas, x - 1, y), Cream, 0.3f * level);
            AddLight(At(canvas, x + 1, y), Cream, 0.3f * level);
        }
    }
    ToneMap(canvas);
    Lettering title;
    title.Text = "Moravel";
    title.Style.Font = FontSerifBold;
    title.Style.Stretch = stretch;
    title.Style.Tracking = 4;
    title.Style = FitWidth(title.Text, title.Style, width * 0.5f, 190);
    title.CentreX = width / 2.0f;
    title.CentreY = height * 0.36f;
    title.Fill = {Cream, Hex(0xffe2a0), Amber, Hex(0x5a2a10), Orange, Amber};
    title.Outline = Night;
    title.OutlineWidth = 5;
    title.ShadowOffset = 8;
    title.Shadow = Rgb(0, 0, 0, 0.55f);
    PaintLettering(canvas, title);
    Lettering group;
    group.Text = "Ostrevia 2k4";
    group.Style.Font = FontSansBold;
    group.Style.Stretch = stretch;
    group.Style.Tracking = 7;
    group.Style.PixelHeight = 46;
    group.CentreX = width / 2.0f;
    group.CentreY = height * 0.585f;
    group.Fill = {Cream, Cyan};
    group.Outline = Night;
    group.OutlineWidth = 3;
    PaintLettering(canvas, group);
    return canvas;
}

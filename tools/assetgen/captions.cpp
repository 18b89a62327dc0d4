// Caption panels: greetings between 33 and 42 seconds, the credits over the rose from 81 seconds.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/draw.h"
#include "tools/assetgen/pictures.h"

using namespace Palette;

// Panels are 2 x 1.4 units on screen and 512 x 256 texels, so a texel is 1.4 times as tall as wide:
// the lettering is set that much wider to look right on screen.
static const int PanelWidth = 512;
static const int PanelHeight = 256;
static const float PanelStretch = (1.4f / PanelHeight) / (2.0f / PanelWidth);

static Canvas MakePanel()
{
    return MakeCanvas(PanelWidth, PanelHeight, Rgb(0.03f, 0.02f, 0.08f, 0));
}

// Largest size up to `maxHeight` at which `text` fits in `width` texels.
static TextStyle FitStyle(const std::string& text, TextStyle style, float width, float maxHeight)
{
    style.PixelHeight = maxHeight;
    TextBox box = MeasureText(text, style);
    float span = box.Right - box.Left;
    if (span > width)
        style.PixelHeight = maxHeight * width / span;
    return style;
}

// A bar with pointed ends from x0 to x1, centred on row y, `halfHeight` texels thick each side.
static void PaintBar(Canvas& canvas, float x0, float x1, float y, float halfHeight, Colour colour)
{
    for (int py = static_cast<int>(y - halfHeight - 2); py <= static_cast<int>(y + halfHeight + 2); py++) {
        for (int px = static_cast<int>(x0) - 2; px <= static_cast<int>(x1) + 2; px++) {
            if (px < 0 || py < 0 || px >= canvas.Width || py >= canvas.Height)
                continue;
            float dx = std::min(px + 0.5f - x0, x1 - px - 0.5f);
            float taper = std::min(1.0f, dx / (halfHeight * PanelStretch * 3));
            float d = std::fabs(py + 0.5f - y) - halfHeight * std::max(0.0f, taper);
            float cover = EdgeCoverage(d, 1.2f) * Clamp01(dx + 0.5f);
            BlendOver(At(canvas, px, py), colour, cover);
        }
    }
}

Canvas PaintGreeting(const char* name, int index)
{
    Canvas canvas = MakePanel();
    Lettering intro;
    intro.Text = "greetings to";
    intro.Style.Font = FontSansBold;
    intro.Style.Stretch = PanelStretch;
    intro.Style.PixelHeight = 30;
    intro.Style.Tracking = 4;
    intro.CentreX = PanelWidth / 2.0f;
    intro.CentreY = 56;
    intro.Fill = {Cyan, Mix(Cyan, Cream, 0.6f)};
    intro.Outline = Night;
    intro.OutlineWidth = 3;
    PaintLettering(canvas, intro);

    Lettering big;
    big.Text = name;
    big.Style.Font = FontSansBold;
    big.Style.Stretch = PanelStretch;
    big.Style.Slant = 0.1f;
    big.Style = FitStyle(big.Text, big.Style, PanelWidth - 56, 118);
    big.CentreX = PanelWidth / 2.0f;
    big.CentreY = 138;
    // Each greeting leans a different way through the warm end of the palette.
    const Colour tops[] = {Cream, Hex(0xffe0b0), Cream, Hex(0xffd0e8), Cream, Hex(0xffe8c0)};
    const Colour bottoms[] = {Orange, Magenta, Amber, Magenta, Orange, Hex(0xff4060)};
    big.Fill = {tops[index % 6], Amber, bottoms[index % 6]};
    big.Outline = Night;
    big.OutlineWidth = 6;
    big.ShadowOffset = 7;
    big.Shadow = Rgb(0, 0, 0, 0.7f);
    PaintLettering(canvas, big);

    TextStyle plain = big.Style;
    TextBox box = MeasureText(big.Text, plain);
    float half = std::max(90.0f, (box.Right - box.Left) / 2);
    PaintBar(canvas, PanelWidth / 2.0f - half - 4, PanelWidth / 2.0f + half + 4, 212, 5.5f, Night);
    PaintBar(canvas, PanelWidth / 2.0f - half, PanelWidth / 2.0f + half, 212, 2.5f, Mix(Amber, Cream, 0.3f));
    return canvas;
}

Canvas PaintCreditRole(const char* role)
{
    Canvas canvas = MakePanel();
    Lettering word;
    word.Text = role;
    word.Style.Font = FontSansBold;
    word.Style.Stretch = PanelStretch;
    word.Style.Slant = 0.22f;
    word.Style.Tracking = 3;
    word.Style = FitStyle(word.Text, word.Style, PanelWidth * 0.62f, 92);
    word.CentreX = PanelWidth / 2.0f;
    word.CentreY = PanelHeight / 2.0f;
    word.Fill = {Cream, Mix(Cyan, Cream, 0.4f), Cyan, Hex(0x3a8cff)};
    word.Outline = Night;
    word.OutlineWidth = 4.5f;
    PaintLettering(canvas, word);
    // Lines run out from both sides of the word, so it reads as a heading for the name that follows.
    TextBox box = MeasureText(word.Text, word.Style);
    float half = (box.Right - box.Left) / 2 + 18;
    float y = PanelHeight / 2.0f + 4;
    PaintBar(canvas, 14, PanelWidth / 2.0f - half, y, 4.5f, Night);
    PaintBar(canvas, PanelWidth / 2.0f + half, PanelWidth - 14, y, 4.5f, Night);
    PaintBar(canvas, 18, PanelWidth / 2.0f - half - 4, y, 2, Cyan);
    PaintBar(canvas, PanelWidth / 2.0f + half + 4, PanelWidth - 18, y, 2, Cyan);
    return canvas;
}

Canvas PaintCreditName(const char* name)
{
    Canvas canvas = MakePanel();
    Lettering big;
    big.Text = name;
    big.Style.Font = FontSansBold;
    big.Style.Stretch = PanelStretch;
    big.Style.Tracking = 3;
    big.Style = FitStyle(big.Text, big.Style, PanelWidth - 60, 128);
    big.CentreX = PanelWidth / 2.0f;
    big.CentreY = PanelHeight * 0.46f;
    big.Fill = {Hex(0xeaf8ff), Hex(0x9ad4ff), Hex(0x5070d0), Hex(0x2a0e40), Orange, Amber, Cream};
    big.Outline = Night;
    big.OutlineWidth = 6;
    big.ShadowOffset = 7;
    big.Shadow = Rgb(0, 0, 0, 0.7f);
    PaintLettering(canvas, big);
    TextBox box = MeasureText(big.Text, big.Style);
    float half = std::max(70.0f, (box.Right - box.Left) / 2 * 0.7f);
    PaintBar(canvas, PanelWidth / 2.0f - half - 4, PanelWidth / 2.0f + half + 4, PanelHeight * 0.84f, 5, Night);
    PaintBar(canvas, PanelWidth / 2.0f - half, PanelWidth / 2.0f + half, PanelHeight * 0.84f, 2.2f, Magenta);
    return canvas;
}

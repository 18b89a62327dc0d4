// Text set with FreeType from the DejaVu fonts, as antialiased coverage masks.
#pragma once

#include <string>

#include "tools/assetgen/canvas.h"

// The fonts the captions use; all come with the fonts-dejavu-core package.
extern const char* const FontSansBold;
extern const char* const FontSans;
extern const char* const FontSerifBold;
extern const char* const FontMonoBold;

// Opens every font above; false with a message on stderr naming the missing one. Checked before any
// picture is painted, so a missing font stops the run instead of leaving captions blank.
bool CheckFonts();

struct TextStyle {
    const char* Font = nullptr;
    float PixelHeight = 64;  // em size in texture rows
    float Stretch = 1;       // horizontal scale, to undo a panel's non-square texels
    float Slant = 0;         // shear of x per unit of y, for an italic look
    float Tracking = 0;      // extra pixels between letters
    float Stroke = 0;        // outline radius in pixels; 0 sets the plain glyphs
};

// Measured ink box of a line of text, in pixels, relative to the pen origin on the baseline.
struct TextBox {
    float Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// Sets one line in `mask` (adding coverage with max) with its baseline starting at (x, y), top-down pixels.
// Returns false with a message on stderr if the font cannot be loaded.
bool DrawText(Mask& mask, const std::string& text, const TextStyle& style, float x, float y);
// The ink box the same call would cover.
TextBox MeasureText(const std::string& text, const TextStyle& style);
// Sets one line centred horizontally on cx with its ink centred vertically on cy.
bool DrawTextCentred(Mask& mask, const std::string& text, const TextStyle& style, float cx, float cy);

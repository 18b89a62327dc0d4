// FreeType text setting: glyph outlines, optionally stroked, rendered antialiased into a mask.
#include "tools/assetgen/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <map>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_STROKER_H

const char* const FontSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const FontSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const FontSerifBold = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
const char* const FontMonoBold = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

static FT_Library Library = nullptr;
static std::map<std::string, FT_Face> Faces;

static FT_Face OpenFace(const char* path)
{
    if (!Library && FT_Init_FreeType(&Library) != 0) {
        std::fprintf(stderr, "moravel-assetgen: FreeType cannot start\n");
        return nullptr;
    }
    auto found = Faces.find(path);
    if (found != Faces.end())
        return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(Library, path, 0, &face) != 0) {
        std::fprintf(stderr, "moravel-assetgen: cannot load font %s (package fonts-dejavu-core)\n", path);
        return nullptr;
    }
    Faces[path] = face;
    return face;
}

bool CheckFonts()
{
    for (const char* font : {FontSansBold, FontSans, FontSerifBold, FontMonoBold})
        if (!OpenFace(font))
            return false;
    return true;
}

// One glyph image placed relative to the pen position.
struct PlacedGlyph {
    FT_BitmapGlyph Glyph;
    float PenX;
};

// Lays out the glyphs of `text` (ASCII) and hands each rendered bitmap with its pen position to `use`.
template <typename Use>
static bool ForEachGlyph(const std::string& text, const TextStyle& style, Use use)
{
    FT_Face face = OpenFace(style.Font);
    if (!face)
        return false;
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(style.PixelHeight * 64)), 72, 72);
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(style.Stretch * 65536));
    matrix.xy = static_cast<FT_Fixed>(std::lround(style.Slant * 65536));
    matrix.yx = 0;
    matrix.yy = 0x10000;
    FT_Set_Transform(face, &matrix, nullptr);
    FT_Stroker stroker = nullptr;
    if (style.Stroke > 0) {
        FT_Stroker_New(Library, &stroker);
        FT_Stroker_Set(stroker, static_cast<FT_Fixed>(std::lround(style.Stroke * 64)), FT_STROKER_LINECAP_ROUND,
                       FT_STROKER_LINEJOIN_ROUND, 0);
    }
    float pen = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(face, ch);
        if (previous && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern);
            pen += kern.x / 64.0f * style.Stretch;
        }
        previous = index;
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING) != 0)
            continue;
        FT_Glyph glyph;
        if (FT_Get_Glyph(face->glyph, &glyph) != 0)
            continue;
        if (stroker)
            FT_Glyph_StrokeBorder(&glyph, stroker, 0, 1);
        // Render at the pen's fractional position so letters keep their true spacing.
        FT_Vector origin = {static_cast<FT_Pos>(std::lround((pen - std::floor(pen)) * 64)), 0};
        if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, &origin, 1) == 0)
            use(PlacedGlyph{reinterpret_cast<FT_BitmapGlyph>(glyph), std::floor(pen)});
        FT_Done_Glyph(glyph);
        pen += face->glyph->advance.x / 64.0f + style.Tracking;
    }
    if (stroker)
        FT_Stroker_Done(stroker);
    return true;
}

TextBox MeasureText(const std::string& text, const TextStyle& style)
{
    TextBox box{1e9f, -1e9f, 1e9f, -1e9f};
    ForEachGlyph(text, style, [&](const PlacedGlyph& placed) {
        const FT_Bitmap& bitmap = placed.Glyph->bitmap;
        if (bitmap.width == 0 || bitmap.rows == 0)
            return;
        float left = placed.PenX + static_cast<float>(placed.Glyph->left);
        float top = -static_cast<float>(placed.Glyph->top);
        box.Left = std::min(box.Left, left);
        box.Right = std::max(box.Right, left + static_cast<float>(bitmap.width));
        box.Top = std::min(box.Top, top);
        box.Bottom = std::max(box.Bottom, top + static_cast<float>(bitmap.rows));
    });
    if (box.Left > box.Right)
        return TextBox{};
    return box;
}

bool DrawText(Mask& mask, const std::string& text, const TextStyle& style, float x, float y)
{
    int ox = static_cast<int>(std::lround(x));
    int oy = static_cast<int>(std::lround(y));
    return ForEachGlyph(text, style, [&](const PlacedGlyph& placed) {
        const FT_Bitmap& bitmap = placed.Glyph->bitmap;
        int left = ox + static_cast<int>(placed.PenX) + placed.Glyph->left;
        int top = oy - placed.Glyph->top;
        for (unsigned row = 0; row < bitmap.rows; row++) {
            int ty = top + static_cast<int>(row);
            if (ty < 0 || ty >= mask.Height)
                continue;
            for (unsigned col = 0; col < bitmap.width; col++) {
                int tx = left + static_cast<int>(col);
                if (tx < 0 || tx >= mask.Width)
                    continue;
                float v = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
                At(mask, tx, ty) = std::max(At(mask, tx, ty), v);
            }
        }
    });
}

bool DrawTextCentred(Mask& mask, const std::string& text, const TextStyle& style, float cx, float cy)
{
    // Centre by the plain glyphs so that a stroked and a plain pass with the same arguments line up.
    TextStyle plain = style;
    plain.Stroke = 0;
    TextBox box = MeasureText(text, plain);
    float x = cx - (box.Left + box.Right) / 2;
    float y = cy - (box.Top + box.Bottom) / 2;
    return DrawText(mask, text, style, x, y);
}

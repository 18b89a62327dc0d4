// A contact sheet: small copies of frames in a grid, each with its demo time under it.
#include "tools/capture/contact_sheet.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int ThumbWidth = 160;
constexpr int ThumbHeight = 120;
constexpr int LabelHeight = 14;
constexpr int Columns = 6;
constexpr int Gap = 4;

struct SheetCell {
    RgbImage Thumb;
    std::int32_t DemoTime = 0;
};
std::vector<SheetCell> Cells;

// 5 x 7 glyphs for the characters a time label needs, one byte per row, high bit on the left.
const std::uint8_t* Glyph(char c)
{
    static const std::uint8_t digits[10][7] = {
        {0x70, 0x88, 0x98, 0xA8, 0xC8, 0x88, 0x70}, {0x20, 0x60, 0x20, 0x20, 0x20, 0x20, 0x70},
        {0x70, 0x88, 0x08, 0x10, 0x20, 0x40, 0xF8}, {0xF8, 0x10, 0x20, 0x10, 0x08, 0x88, 0x70},
        {0x10, 0x30, 0x50, 0x90, 0xF8, 0x10, 0x10}, {0xF8, 0x80, 0xF0, 0x08, 0x08, 0x88, 0x70},
        {0x30, 0x40, 0x80, 0xF0, 0x88, 0x88, 0x70}, {0xF8, 0x08, 0x10, 0x20, 0x40, 0x40, 0x40},
        {0x70, 0x88, 0x88, 0x70, 0x88, 0x88, 0x70}, {0x70, 0x88, 0x88, 0x78, 0x08, 0x10, 0x60}};
    static const std::uint8_t dot[7] = {0, 0, 0, 0, 0, 0x60, 0x60};
    static const std::uint8_t s[7] = {0, 0, 0x70, 0x80, 0x70, 0x08, 0xF0};
    static const std::uint8_t blank[7] = {};
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    if (c == '.')
        return dot;
    if (c == 's')
        return s;
    return blank;
}

RgbImage Shrink(const RgbImage& frame)
{
    RgbImage thumb;
    thumb.Width = ThumbWidth;
    thumb.Height = ThumbHeight;
    thumb.Pixels.assign(ThumbWidth * ThumbHeight * 3, 0);
    const int boxW = frame.Width / ThumbWidth;
    const int boxH = frame.Height / ThumbHeight;
    for (int y = 0; y < ThumbHeight; ++y)
        for (int x = 0; x < ThumbWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < boxH; ++dy)
                    for (int dx = 0; dx < boxW; ++dx)
                        sum += frame.Pixels[((y * boxH + dy) * frame.Width + x * boxW + dx) * 3 + c];
                thumb.Pixels[(y * ThumbWidth + x) * 3 + c] = static_cast<std::uint8_t>(sum / (boxW * boxH));
            }
    return thumb;
}

void DrawText(RgbImage& sheet, int left, int top, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t* glyph = Glyph(text[i]);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if ((glyph[row] & (0x80 >> col)) != 0) {
                    const int x = left + static_cast<int>(i) * 6 + col;
                    const int y = top + row;
                    if (x < sheet.Width && y < sheet.Height)
                        for (int c = 0; c < 3; ++c)
                            sheet.Pixels[(y * sheet.Width + x) * 3 + c] = 230;
                }
    }
}

}  // namespace

void AddSheetFrame(const RgbImage& frame, std::int32_t demoTime)
{
    Cells.push_back(SheetCell{Shrink(frame), demoTime});
}

bool WriteSheet(const std::string& file)
{
    const int rows = (static_cast<int>(Cells.size()) + Columns - 1) / Columns;
    RgbImage sheet;
    sheet.Width = Columns * (ThumbWidth + Gap) + Gap;
    sheet.Height = rows * (ThumbHeight + LabelHeight + Gap) + Gap;
    sheet.Pixels.assign(static_cast<std::size_t>(sheet.Width) * sheet.Height * 3, 24);
    for (std::size_t i = 0; i < Cells.size(); ++i) {
        const int left = Gap + static_cast<int>(i % Columns) * (ThumbWidth + Gap);
        const int top = Gap + static_cast<int>(i / Columns) * (ThumbHeight + LabelHeight + Gap);
        for (int y = 0; y < ThumbHeight; ++y)
            for (int x = 0; x < ThumbWidth * 3; ++x)
                sheet.Pixels[((top + y) * sheet.Width) * 3 + left * 3 + x] =
                    Cells[i].Thumb.Pixels[y * ThumbWidth * 3 + x];
        char label[32];
        std::snprintf(label, sizeof label, "%.2f s", Cells[i].DemoTime / 1000.0);
        DrawText(sheet, left + 2, top + ThumbHeight + 4, label);
    }
    return WritePng(file, sheet);
}

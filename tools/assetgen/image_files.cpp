// TGA and JPEG writers: quantise the canvas to 8 bits and store it bottom row first.
#include "tools/assetgen/image_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

static unsigned char ToByte(float v)
{
    return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0f));
}

// Stored pixel bytes for file row `row` (0 = bottom), B G R (A).
static void StoredRow(const Canvas& canvas, int row, int bytesPerPixel, std::vector<unsigned char>& out)
{
    const Colour* src = &canvas.Pixels[static_cast<size_t>(canvas.Height - 1 - row) * canvas.Width];
    for (int x = 0; x < canvas.Width; x++) {
        out.push_back(ToByte(src[x].B));
        out.push_back(ToByte(src[x].G));
        out.push_back(ToByte(src[x].R));
        if (bytesPerPixel == 4)
            out.push_back(ToByte(src[x].A));
    }
}

// Packs one row of `count` pixels into TGA packets: runs of two or more equal pixels become run
// packets, the rest raw packets. Every packet ends at the row's end: the format's first version let
// packets run on into the next row, and our own reader still takes such files, but many readers
// refuse them.
static void AppendRowPackets(const unsigned char* pixels, size_t count, int bpp, std::string& out)
{
    auto same = [&](size_t a, size_t b) { return std::memcmp(&pixels[a * bpp], &pixels[b * bpp], bpp) == 0; };
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            run++;
        if (run >= 2) {
            out.push_back(static_cast<char>(0x80 | (run - 1)));
            out.append(reinterpret_cast<const char*>(&pixels[i * bpp]), bpp);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            raw++;
        out.push_back(static_cast<char>(raw - 1));
        out.append(reinterpret_cast<const char*>(&pixels[i * bpp]), raw * bpp);
        i += raw;
    }
}

std::string EncodeTga(const Canvas& canvas, TgaLayout layout)
{
    bool rle = layout == TgaLayout::Rle24 || layout == TgaLayout::Rle32;
    int bpp = (layout == TgaLayout::Raw32 || layout == TgaLayout::Rle32) ? 4 : 3;
    unsigned char header[18] = {};
    header[2] = rle ? 10 : 2;
    header[12] = static_cast<unsigned char>(canvas.Width & 255);
    header[13] = static_cast<unsigned char>(canvas.Width >> 8);
    header[14] = static_cast<unsigned char>(canvas.Height & 255);
    header[15] = static_cast<unsigned char>(canvas.Height >> 8);
    header[16] = static_cast<unsigned char>(bpp * 8);
    header[17] = static_cast<unsigned char>(bpp == 4 ? 8 : 0);  // alpha bits; origin bottom-left
    std::string out(reinterpret_cast<const char*>(header), sizeof header);
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<size_t>(canvas.Width) * canvas.Height * bpp);
    for (int row = 0; row < canvas.Height; row++)
        StoredRow(canvas, row, bpp, pixels);
    if (rle) {
        const size_t rowBytes = static_cast<size_t>(canvas.Width) * bpp;
        for (int row = 0; row < canvas.Height; row++)
            AppendRowPackets(pixels.data() + row * rowBytes, canvas.Width, bpp, out);
    } else
        out.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    return out;
}

static bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "moravel-assetgen: cannot create %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "moravel-assetgen: cannot write %s\n", path.c_str());
    return ok;
}

bool WriteTga(const std::string& path, const Canvas& canvas, TgaLayout layout)
{
    return WriteBytes(path, EncodeTga(canvas, layout));
}

bool WriteJpg(const std::string& path, const Canvas& canvas, int quality)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(canvas.Width);
    info.image_height = static_cast<JDIMENSION>(canvas.Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;  // the integer transform gives the same bytes on every machine
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(canvas.Width) * 3);
    while (info.next_scanline < info.image_height) {
        const Colour* src = &canvas.Pixels[static_cast<size_t>(info.next_scanline) * canvas.Width];
        for (int x = 0; x < canvas.Width; x++) {
            row[x * 3] = ToByte(src[x].R);
            row[x * 3 + 1] = ToByte(src[x].G);
            row[x * 3 + 2] = ToByte(src[x].B);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return WriteBytes(path, bytes);
}

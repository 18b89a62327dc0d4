// The asset generator's own parts: noise that tiles, text set where asked, files the readers take back
// (TGA packets that stay within their rows), and model meshes that are closed, centred and ordered.
#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "textures/point_model.h"
#include "textures/textures.h"
#include "tools/assetgen/canvas.h"
#include "tools/assetgen/image_files.h"
#include "tools/assetgen/models.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/text.h"

namespace {

TEST(AssetNoise, PeriodicNoiseTilesSoWrappedTexturesHaveNoSeams)
{
    for (float y : {0.1f, 3.25f}) {
        for (float x : {0.4f, 2.9f}) {
            EXPECT_NEAR(GradientNoise(x, y, 4, 1), GradientNoise(x + 4, y, 4, 1), 1e-5f);
            EXPECT_NEAR(GradientNoise(x, y, 4, 1), GradientNoise(x, y - 4, 4, 1), 1e-5f);
            // Each octave doubles the frequency and the period, so the sum keeps the base period.
            EXPECT_NEAR(FractalNoise(x, y, 4, 0.5f, 8, 2), FractalNoise(x + 8, y + 8, 4, 0.5f, 8, 2), 1e-5f);
            EXPECT_NEAR(CellEdge(x, y, 12, 3), CellEdge(x + 12, y, 12, 3), 1e-5f);
        }
    }
    // Without a period the lattice does not repeat, and different seeds differ.
    EXPECT_NE(GradientNoise(0.3f, 0.6f, 0, 1), GradientNoise(4.3f, 0.6f, 0, 1));
    EXPECT_NE(GradientNoise(0.3f, 0.6f, 0, 1), GradientNoise(0.3f, 0.6f, 0, 2));
}

// Centre of the ink in a mask, and how much of it is antialiased edge.
struct Ink {
    double X = 0, Y = 0, Total = 0;
    int Partial = 0;
};

Ink MeasureInk(const Mask& mask)
{
    Ink ink;
    for (int y = 0; y < mask.Height; y++)
        for (int x = 0; x < mask.Width; x++) {
            float v = At(mask, x, y);
            ink.X += v * (x + 0.5);
            ink.Y += v * (y + 0.5);
            ink.Total += v;
            ink.Partial += v > 0.1f && v < 0.9f;
        }
    ink.X /= ink.Total;
    ink.Y /= ink.Total;
    return ink;
}

TEST(AssetText, LetteringLandsCentredStretchedAndAntialiased)
{
    ASSERT_TRUE(CheckFonts());
    TextStyle style;
    style.Font = FontSansBold;
    style.PixelHeight = 40;
    Mask plain = MakeMask(256, 128);
    ASSERT_TRUE(DrawTextCentred(plain, "OHO", style, 100, 70));
    const Ink ink = MeasureInk(plain);
    EXPECT_NEAR(ink.X, 100, 3);
    EXPECT_NEAR(ink.Y, 70, 3);
    EXPECT_GT(ink.Partial, 40) << "edges must be soft for the alpha channel";

    // A panel with tall texels gets its text set wider by the same factor.
    TextBox narrow = MeasureText("OHO", style);
    style.Stretch = 1.4f;
    TextBox wide = MeasureText("OHO", style);
    EXPECT_NEAR((wide.Right - wide.Left) / (narrow.Right - narrow.Left), 1.4, 0.05);
    EXPECT_NEAR(wide.Bottom - wide.Top, narrow.Bottom - narrow.Top, 1.5);

    // An outline surrounds the plain glyphs on every side.
    style.Stretch = 1;
    style.Stroke = 4;
    Mask outline = MakeMask(256, 128);
    ASSERT_TRUE(DrawTextCentred(outline, "OHO", style, 100, 70));
    Ink outer = MeasureInk(outline);
    EXPECT_NEAR(outer.X, ink.X, 1.5);
    EXPECT_NEAR(outer.Y, ink.Y, 1.5);
    style.Stroke = 0;
    TextBox inner = MeasureText("OHO", style);
    style.Stroke = 4;
    TextBox stroked = MeasureText("OHO", style);
    EXPECT_NEAR(inner.Left - stroked.Left, 4, 1.5);
    EXPECT_NEAR(stroked.Bottom - inner.Bottom, 4, 1.5);
}

TEST(AssetFiles, JpegKeepsColoursAndTheTopRowOnTop)
{
    Canvas canvas = MakeCanvas(64, 32, Colour{});
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++)
            At(canvas, x, y) = y < 16 ? Rgb(0.9f, 0.2f, 0.1f) : Rgb(0.1f, 0.3f, 0.8f);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "assetgen_test_picture.jpg";
    ASSERT_TRUE(WriteJpg(path.string(), canvas, 90));
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    DecodeResult decoded = DecodeJPG(bytes.data(), bytes.size(), "picture.jpg", false);
    ASSERT_TRUE(decoded.Ok) << decoded.Text;
    ASSERT_EQ(decoded.Picture.Width, 64);
    ASSERT_EQ(decoded.Picture.Height, 32);
    // The decoder delivers the bottom row first: the canvas's top half (red) is the buffer's last row.
    const std::uint8_t* top = &decoded.Picture.Pixels[(std::size_t)31 * 64 * 4 + 32 * 4];
    const std::uint8_t* bottom = &decoded.Picture.Pixels[32 * 4];
    EXPECT_NEAR(top[0], 230, 8);
    EXPECT_NEAR(top[2], 26, 8);
    EXPECT_NEAR(bottom[0], 26, 8);
    EXPECT_NEAR(bottom[2], 204, 8);
}

// One packet of a run-length TGA file: where its pixels start in the picture, how many, and whether
// it is a run.
struct TgaPacket {
    std::size_t First = 0, Count = 0;
    bool Run = false;
};

// Walks the packets of a type-10 file with no image ID; stops at the first one the data cannot hold.
std::vector<TgaPacket> ReadTgaPackets(const std::string& file, std::size_t bytesPerPixel, std::size_t& end)
{
    std::vector<TgaPacket> packets;
    std::size_t at = 18, pixel = 0;
    while (at < file.size()) {
        const auto header = static_cast<unsigned char>(file[at]);
        TgaPacket packet{pixel, (header & 0x7Fu) + 1u, header >= 0x80};
        const std::size_t size = 1 + (packet.Run ? 1 : packet.Count) * bytesPerPixel;
        if (file.size() - at < size)
            break;
        packets.push_back(packet);
        at += size;
        pixel += packet.Count;
    }
    end = at;
    return packets;
}

DecodeResult DecodeTgaBytes(const std::string& file)
{
    return DecodeTGA(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), "test.tga", false);
}

// Other programs' readers refuse packets that run on into the next row; ours decodes the stream as one
// sequence and would hide such a packet, so the packets are checked one by one. Other encoder faults (a
// run split wrongly at 128, a pixel left out or stored twice) show as pixels that differ from the raw
// file's.
TEST(AssetFiles, TgaPacketsEndAtEveryRowEndAndDecodeToTheRawPixels)
{
    constexpr int Width = 150, Height = 9;
    Canvas canvas = MakeCanvas(Width, Height, Colour{});
    int i = 0;
    // Runs of 1, 2, 127, 128, 129 and 300 equal pixels and stretches of up to 400 pixels that all
    // differ, so that both kinds of packet reach row ends, in rows wider than one packet.
    for (auto [run, differing] : std::initializer_list<std::pair<int, int>>{
             {1, 9}, {2, 9}, {127, 9}, {128, 400}, {129, 9}, {300, 9}, {1, 9}, {3, 205}}) {
        for (int k = 0; k < run && i < Width * Height; k++, i++)
            canvas.Pixels[i] = Rgb((run % 7) / 7.0f, 0.5f, (run % 3) / 3.0f, (run % 5) / 5.0f);
        for (int k = 0; k < differing && i < Width * Height; k++, i++)
            canvas.Pixels[i] = Rgb(k % 9 / 9.0f, i % 13 / 13.0f, i % 17 / 17.0f, (i % 255) / 255.0f);
    }
    ASSERT_EQ(i, Width * Height);
    for (auto [rle, raw, bytesPerPixel] :
         {std::tuple{TgaLayout::Rle24, TgaLayout::Raw24, 3u}, std::tuple{TgaLayout::Rle32, TgaLayout::Raw32, 4u}}) {
        SCOPED_TRACE(bytesPerPixel);
        const std::string file = EncodeTga(canvas, rle);
        ASSERT_EQ(file[2], 10);
        std::size_t end = 0;
        const std::vector<TgaPacket> packets = ReadTgaPackets(file, bytesPerPixel, end);
        EXPECT_EQ(end, file.size()) << "bytes after the last whole packet";
        std::size_t pixels = 0, runs = 0, longRaw = 0;
        for (const TgaPacket& packet : packets) {
            EXPECT_LE(packet.First % Width + packet.Count, std::size_t{Width})
                << "the packet at pixel " << packet.First << " runs on into the next row";
            pixels += packet.Count;
            runs += packet.Run;
            longRaw += !packet.Run && packet.Count == 128;
        }
        EXPECT_EQ(pixels, std::size_t{Width} * Height);
        EXPECT_GT(runs, 0u);
        EXPECT_GT(longRaw, 0u) << "a row of differing pixels wider than one packet";

        const DecodeResult packed = DecodeTgaBytes(file), plain = DecodeTgaBytes(EncodeTga(canvas, raw));
        ASSERT_TRUE(packed.Ok && plain.Ok);
        EXPECT_EQ(packed.Picture.Pixels, plain.Picture.Pixels);
    }
    // The raw file holds the canvas itself: top row of the canvas is the last row of the buffer.
    const DecodeResult raw32 = DecodeTgaBytes(EncodeTga(canvas, TgaLayout::Raw32));
    ASSERT_TRUE(raw32.Ok);
    const std::uint8_t* topLeft = &raw32.Picture.Pixels[std::size_t{Height - 1} * Width * 4];
    EXPECT_EQ(topLeft[0], std::lround(canvas.Pixels[0].R * 255));
    EXPECT_EQ(topLeft[1], 128);
    EXPECT_EQ(topLeft[3], std::lround(canvas.Pixels[0].A * 255));

    // A flat picture shrinks to the fewest runs its rows allow: two of 128 pixels per 256-pixel row.
    const std::string flat = EncodeTga(MakeCanvas(256, 256, Rgb(0.2f, 0.4f, 0.6f, 0)), TgaLayout::Rle32);
    std::size_t end = 0;
    const std::vector<TgaPacket> flatPackets = ReadTgaPackets(flat, 4, end);
    EXPECT_EQ(end, flat.size());
    ASSERT_EQ(flatPackets.size(), 512u);
    for (const TgaPacket& packet : flatPackets)
        EXPECT_TRUE(packet.Run && packet.Count == 128) << "at pixel " << packet.First;
}

// Counts how many triangles use each undirected edge.
std::map<std::pair<int, int>, int> EdgeUse(const Mesh& mesh)
{
    std::map<std::pair<int, int>, int> use;
    for (const auto& t : mesh.Triangles)
        for (int k = 0; k < 3; k++) {
            int a = t[k], b = t[(k + 1) % 3];
            use[{std::min(a, b), std::max(a, b)}]++;
        }
    return use;
}

TEST(AssetModels, StarfishSurfaceIsClosedWithoutHolesOrCollapsedFacets)
{
    Mesh star = BuildStarfish();
    EXPECT_LE(static_cast<int>(star.Triangles.size()), StarfishTriangleLimit);
    std::map<std::pair<int, int>, int> use = EdgeUse(star);
    // A disc-like surface: inner edges shared by two triangles, the outline by one, nothing else.
    int outline = 0;
    for (const auto& [edge, count] : use) {
        ASSERT_TRUE(count == 1 || count == 2) << edge.first << "-" << edge.second << " used " << count << " times";
        outline += count == 1;
    }
    // The outline closes: every vertex on it meets exactly two outline edges.
    std::map<int, int> outlineDegree;
    for (const auto& [edge, count] : use)
        if (count == 1) {
            outlineDegree[edge.first]++;
            outlineDegree[edge.second]++;
        }
    for (const auto& [vertex, degree] : outlineDegree)
        EXPECT_EQ(degree, 2) << "vertex " << vertex;
    EXPECT_GT(outline, 0);
    // No facet collapses to a line (the typical facet is about 8e-4 here).
    for (const auto& t : star.Triangles) {
        const Vertex3 &a = star.Vertices[t[0]], &b = star.Vertices[t[1]], &c = star.Vertices[t[2]];
        EXPECT_GT(std::fabs((b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y)), 1e-6);
    }
    // Euler's formula for a disc: vertices - edges + faces = 1.
    EXPECT_EQ(static_cast<long>(star.Vertices.size()) - static_cast<long>(use.size()) +
                  static_cast<long>(star.Triangles.size()),
              1);
}

TEST(AssetModels, FittingCentresScalesAndOrdersFarToNear)
{
    Mesh mesh;
    mesh.Vertices = {{3, 5, 1}, {7, 5, 1}, {5, 9, 3}, {5, 1, -1}};
    mesh.Triangles = {{0, 1, 2}, {0, 1, 3}, {1, 2, 3}};
    FitIntoRadius(mesh, 0.8);
    double farthest = 0;
    for (const Vertex3& v : mesh.Vertices)
        farthest = std::max(farthest, std::hypot(v.X, v.Y, v.Z));
    EXPECT_LE(farthest, 0.8);
    EXPECT_GT(farthest, 0.79);
    EXPECT_NEAR(mesh.Vertices[0].X + mesh.Vertices[1].X, 0, 1e-12);
    EXPECT_NEAR(mesh.Vertices[2].Y + mesh.Vertices[3].Y, 0, 1e-12);
    SortFarToNear(mesh);
    EXPECT_EQ(mesh.Triangles[0], (std::array<int, 3>{0, 1, 3}));
    EXPECT_EQ(mesh.Triangles[2], (std::array<int, 3>{0, 1, 2}));
}

TEST(AssetModels, FileTextParsesBackUnderACommaLocale)
{
    Mesh mesh;
    mesh.Vertices = {{-0.5, 0.25, 0.125}, {0.75, -0.000001, 1e-9}, {0, 0.5, -0.3333333}};
    mesh.Triangles = {{0, 1, 2}};
    // A German locale writes "0,5" with printf; the file must not change with it.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr || std::setlocale(LC_ALL, "de_DE.utf8") != nullptr;
    std::string text = FormatModel(mesh);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text.substr(0, 24), "3\r\n-0.500000\r\n0.250000\r\n");
    EXPECT_EQ(text.find(','), std::string::npos) << (german ? "under de_DE" : "locale de_DE not installed");
    EXPECT_EQ(text.find("-0.000000"), std::string::npos);
    EXPECT_TRUE(text.ends_with("0\r\n1\r\n2\r\n"));
    auto model = std::make_unique<PointModel>();
    std::string error;
    ASSERT_TRUE(ParsePointModel((const std::uint8_t*)text.data(), text.size(), *model, error)) << error;
    EXPECT_EQ(model->VertexCount, 3);
    EXPECT_EQ(model->TriangleCount, 1);
    EXPECT_DOUBLE_EQ(model->VertexX[1], 0.75);
    EXPECT_DOUBLE_EQ(model->VertexZ[2], -0.333333);
}

}  // namespace

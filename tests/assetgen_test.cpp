// The asset generator's own parts: noise that tiles, text set where asked, files the readers take back,
// and model meshes that are closed, centred and ordered.
#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
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

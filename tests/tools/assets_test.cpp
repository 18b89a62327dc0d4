// The generated data through the production's own readers: every picture, both models, the whole catalogue.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "tests/support/catalogue_files.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"
#include "textures/textures.h"

namespace {

const std::filesystem::path DataDir = std::filesystem::path(MORAVEL_ASSET_DIR) / "data";

// How a picture is shown decides what it must hold: layers (the TGA files) with transparency must
// have texels on both sides of the 0.4 alpha test; the particle sprite is RGB; the JPEGs are opaque.
enum class Kind { Opaque, Layer, Sprite24 };

Kind KindOf(const std::string& name)
{
    return name == "particles.tga" ? Kind::Sprite24 : name.ends_with(".tga") ? Kind::Layer : Kind::Opaque;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

DecodeResult Decode(const std::string& name)
{
    std::vector<std::uint8_t> bytes = ReadBytes(DataDir / name);
    if (name.ends_with(".tga"))
        return DecodeTGA(bytes.data(), bytes.size(), name.c_str(), false);
    return DecodeJPG(bytes.data(), bytes.size(), name.c_str(), false);
}

bool PowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

// Alpha of the texel at (u, v), v measured from the TOP of the picture as it is seen.
int AlphaAt(const PixelBuffer& picture, double u, double v)
{
    int x = std::min(static_cast<int>(u * picture.Width), picture.Width - 1);
    int row = picture.Height - 1 - std::min(static_cast<int>(v * picture.Height), picture.Height - 1);
    return picture.Pixels[(static_cast<std::size_t>(row) * picture.Width + x) * 4 + 3];
}

// The alpha test discards texels whose alpha is 0.4 or less.
constexpr int AlphaTestLimit = 102;

TEST(GeneratedPictures, EveryPictureDecodesWithPowerOfTwoSidesAndRealContent)
{
    for (const CatalogueEntry& entry : AllCatalogueEntries()) {
        SCOPED_TRACE(entry.File);
        const Kind kind = KindOf(entry.File);
        DecodeResult decoded = Decode(entry.File);
        ASSERT_TRUE(decoded.Ok) << decoded.Caption << ": " << decoded.Text;
        const PixelBuffer& picture = decoded.Picture;
        EXPECT_TRUE(PowerOfTwo(picture.Width) && PowerOfTwo(picture.Height)) << picture.Width << "x" << picture.Height;
        EXPECT_EQ(picture.Format, kind == Kind::Sprite24 ? (GLenum)GL_RGB : (GLenum)GL_RGBA);

        // Not a flat fill or a two-colour test pattern: many colours and a real spread of brightness.
        const int channels = picture.Format == GL_RGBA ? 4 : 3;
        std::set<std::uint32_t> colours;
        double sum = 0, squares = 0;
        const std::size_t count = static_cast<std::size_t>(picture.Width) * picture.Height;
        for (std::size_t i = 0; i < count; i++) {
            const std::uint8_t* p = &picture.Pixels[i * channels];
            colours.insert(static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2]);
            const double luma = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
            sum += luma;
            squares += luma * luma;
        }
        EXPECT_GT(colours.size(), 100u);
        EXPECT_GT(std::sqrt(squares / count - (sum / count) * (sum / count)), 10.0);

        if (kind == Kind::Layer) {
            std::size_t kept = 0, soft = 0;
            for (std::size_t i = 0; i < count; i++) {
                std::uint8_t alpha = picture.Pixels[i * 4 + 3];
                kept += alpha > AlphaTestLimit;
                soft += alpha > 16 && alpha < 240;
            }
            EXPECT_GT(soft, 300u) << "edges must be antialiased in the alpha channel";
            EXPECT_GT(kept, count / 20) << "too little survives the alpha test";
            EXPECT_LT(kept, count * 19 / 20) << "nothing around the shape is transparent";
        }
    }
}

TEST(GeneratedPictures, LayersAreTransparentWhereTheSceneBehindMustShow)
{
    DecodeResult maska = Decode("maska.tga");
    ASSERT_TRUE(maska.Ok);
    // The logo is drawn in the middle half of the frame's square and must show through it.
    for (double u : {0.3, 0.5, 0.7})
        for (double v : {0.3, 0.5, 0.7})
            EXPECT_LE(AlphaAt(maska.Picture, u, v), AlphaTestLimit) << u << "," << v;
    // The bars at the top and bottom of the screen are solid.
    EXPECT_EQ(AlphaAt(maska.Picture, 0.5, 0.15), 255);
    EXPECT_EQ(AlphaAt(maska.Picture, 0.5, 0.87), 255);

    DecodeResult logo = Decode("logo.tga");
    ASSERT_TRUE(logo.Ok);
    EXPECT_LE(AlphaAt(logo.Picture, 0.02, 0.02), AlphaTestLimit);
    EXPECT_LE(AlphaAt(logo.Picture, 0.5, 0.95), AlphaTestLimit);

    DecodeResult spinner = Decode("obrotnik.tga");
    ASSERT_TRUE(spinner.Ok);
    EXPECT_LE(AlphaAt(spinner.Picture, 0.01, 0.01), AlphaTestLimit) << "the square's corners must vanish";
    EXPECT_GT(AlphaAt(spinner.Picture, 0.5, 0.5 - 0.43), AlphaTestLimit) << "the rim must be solid";
}

TEST(GeneratedPictures, TgaFilesTakeEveryPathOfTheReader)
{
    std::set<std::pair<int, int>> layouts;  // (image type, pixel depth)
    for (const CatalogueEntry& entry : AllCatalogueEntries()) {
        const std::string name = entry.File;
        if (!name.ends_with(".tga"))
            continue;
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes = ReadBytes(DataDir / name);
        ASSERT_GE(bytes.size(), 18u);
        EXPECT_EQ(bytes[0], 0) << "the reader does not skip an image ID";
        EXPECT_EQ(bytes[1], 0) << "no colour map";
        EXPECT_EQ(bytes[17] & 0x20, 0) << "rows must be stored bottom first";
        layouts.insert({bytes[2], bytes[16]});
    }
    EXPECT_TRUE(layouts.count({2, 32})) << "raw 32-bit";
    EXPECT_TRUE(layouts.count({10, 32})) << "run-length 32-bit";
    EXPECT_TRUE(layouts.count({2, 24}) || layouts.count({10, 24})) << "some 24-bit file";
}

struct ModelFile {
    const char* Name;
    int TriangleLimit;
};

TEST(GeneratedModels, LoadThroughTheStartUpLoaderWithinTheirLimits)
{
    for (ModelFile file : {ModelFile{"rozgwiazda.txt", 3000}, ModelFile{"roza.txt", 8000}}) {
        SCOPED_TRACE(file.Name);
        // Through the production's own loader (which refuses bare line feeds and decimal commas), by
        // the name the start-up sequence uses.
        auto model = std::make_unique<PointModel>();
        std::string name = std::string("data\\") + file.Name;
        std::filesystem::path home = std::filesystem::current_path();
        std::filesystem::current_path(MORAVEL_ASSET_DIR);
        bool loaded = LoadPointModel(name.c_str(), *model);
        std::filesystem::current_path(home);
        ASSERT_TRUE(loaded);
        EXPECT_GT(model->TriangleCount, 100);
        EXPECT_LE(model->TriangleCount, file.TriangleLimit);

        // Inside the radius the scenes are framed for, and filling most of it.
        double farthest = 0;
        for (int v = 0; v < model->VertexCount; v++)
            farthest = std::max(farthest, std::hypot(model->VertexX[v], model->VertexY[v], model->VertexZ[v]));
        EXPECT_LE(farthest, 0.8);
        EXPECT_GT(farthest, 0.6);

        // Painted without a depth test, so the file order must run from far (low z) to near.
        double previous = -1e9;
        for (int t = 0; t < model->TriangleCount; t++) {
            int corners[3] = {model->TriangleA[t], model->TriangleB[t], model->TriangleC[t]};
            double depth = 0;
            for (int c : corners) {
                ASSERT_TRUE(c >= 0 && c < model->VertexCount) << "triangle " << t;
                depth += model->VertexZ[c];
            }
            ASSERT_GE(depth, previous - 1e-5) << "triangle " << t << " is farther than the one before";
            previous = depth;
        }
    }
}

TEST(GeneratedData, TheCatalogueFillsAllTwentyNineSlots)
{
    ASSERT_TRUE(HeadlessCreateContext(64, 64));
    HeadlessClearMessageLog();
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(MORAVEL_ASSET_DIR);
    LoadTextureBatch1();
    LoadTextureBatch2();
    std::filesystem::current_path(previous);
    std::set<GLuint> distinct;
    for (const CatalogueEntry& entry : AllCatalogueEntries())
        distinct.insert(*entry.Slot);
    EXPECT_EQ(distinct.size(), 29u);
    EXPECT_EQ(distinct.count(0u), 0u);
    EXPECT_TRUE(HeadlessMessageLog().empty()) << HeadlessMessageLog().front();
    HeadlessDestroyContext();
}

}  // namespace

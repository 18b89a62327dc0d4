// The texture catalogue on real Mesa: every file reaches its own slot, in two batches, and a missing file costs one
// slot.
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "shell/master.h"
#include "tests/support/catalogue_files.h"
#include "tests/support/startup_fixtures.h"
#include "textures/catalogue.h"
#include "textures/texture_prefetch.h"
#include "textures/textures.h"

namespace {

// A colour of its own for each file, far enough apart to survive JPEG.
Rgb ColourOf(std::size_t index)
{
    return Rgb{static_cast<std::uint8_t>(20 + 7 * index), static_cast<std::uint8_t>(230 - 7 * index),
               static_cast<std::uint8_t>(index % 2 == 0 ? 40 : 200)};
}

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HeadlessCreateContext(64, 64));
        HeadlessClearMessageLog();
        Clock.Loading = LoadState::SecondBatchPending;
        const std::vector<CatalogueEntry> all = AllCatalogueEntries();
        for (std::size_t i = 0; i < all.size(); ++i) {
            *all[i].Slot = 0;
            WriteSolidPicture("data/" + std::string(all[i].File), ColourOf(i));
        }
    }
    void TearDown() override { HeadlessDestroyContext(); }

    ScratchWorkDir WorkDir;
};

// The texel in the middle of level 0 of the texture.
Rgb MiddleTexel(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width * height * 4));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const std::size_t middle = static_cast<std::size_t>((height / 2) * width + width / 2) * 4;
    return Rgb{texels[middle], texels[middle + 1], texels[middle + 2]};
}

}  // namespace

TEST_F(Catalogue, BatchesFillTheirOwnSlotsWithTheirOwnFilesAndStartTheClock)
{
    Clock.DemoTime = 4321;
    LoadTextureBatch1();
    for (const CatalogueEntry& entry : FirstBatch)
        EXPECT_NE(*entry.Slot, 0u) << entry.File;
    for (const CatalogueEntry& entry : SecondBatch)
        EXPECT_EQ(*entry.Slot, 0u) << entry.File << " loaded by the first batch";
    EXPECT_EQ(Clock.DemoTime, 4321);
    EXPECT_EQ(Clock.Loading, LoadState::SecondBatchPending);

    // The loading frame: the second batch, then the clock starts from 0.
    DrawLoadingOrScene();
    EXPECT_EQ(Clock.DemoTime, 0);
    EXPECT_EQ(Clock.Loading, LoadState::Loaded);
    EXPECT_TRUE(HeadlessMessageLog().empty());
    const std::vector<CatalogueEntry> all = AllCatalogueEntries();
    std::set<GLuint> names;
    for (std::size_t i = 0; i < all.size(); ++i) {
        ASSERT_TRUE(glIsTexture(*all[i].Slot)) << all[i].File;
        names.insert(*all[i].Slot);
        const Rgb texel = MiddleTexel(*all[i].Slot), expected = ColourOf(i);
        EXPECT_TRUE(std::abs(texel.R - expected.R) <= 4 && std::abs(texel.G - expected.G) <= 4 &&
                    std::abs(texel.B - expected.B) <= 4)
            << all[i].File << " holds (" << +texel.R << ", " << +texel.G << ", " << +texel.B << ")";
    }
    EXPECT_EQ(names.size(), 29u);
}

TEST_F(Catalogue, AMissingFileShowsOneMessageAndLeavesOnlyItsSlotEmpty)
{
    // One from each batch, one of them a slot nothing draws: still loaded, still reported.
    for (const char* missing : {"brund.tga", "particles.tga", "mk.jpg"}) {
        for (const CatalogueEntry& entry : AllCatalogueEntries())
            *entry.Slot = 0;
        HeadlessClearMessageLog();
        std::filesystem::rename("data/" + std::string(missing), "aside");
        LoadTextureBatch1();
        LoadTextureBatch2();
        EXPECT_EQ(HeadlessMessageLog().size(), 1u) << missing;
        for (const CatalogueEntry& entry : AllCatalogueEntries())
            EXPECT_EQ(*entry.Slot == 0, std::string(entry.File) == missing) << missing << ": " << entry.File;
        std::filesystem::rename("aside", "data/" + std::string(missing));
    }
}

// Started before the window, the decoding ahead prepares every file of both batches under the
// names the batches ask for; loading in place (the old way, which the benchmarks keep) reads nothing ahead.
TEST_F(Catalogue, DecodingAheadCoversBothBatchesAndLoadingInPlaceReadsNothingAhead)
{
    StartDecodingTextures();
    for (const CatalogueEntry& entry : AllCatalogueEntries()) {
        const std::optional<PreparedTexture> prepared =
            TakePrefetchedTexture(("data\\" + std::string(entry.File)).c_str());
        ASSERT_TRUE(prepared.has_value()) << entry.File;
        EXPECT_TRUE(prepared->Decoded.Ok && prepared->HasLevels) << entry.File;
    }
    EXPECT_TRUE(HeadlessMessageLog().empty());

    SetTextureLoading(TextureLoading::Serial);
    StartDecodingTextures();
    EXPECT_FALSE(TakePrefetchedTexture("data\\tlo3.jpg").has_value());
    SetTextureLoading(TextureLoading::Prepared);
}

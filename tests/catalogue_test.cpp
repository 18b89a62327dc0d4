// The texture catalogue on real Mesa: every file reaches its own slot, in two batches, and a missing file costs one slot.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "shell/master.h"
#include "tests/startup_fixtures.h"
#include "textures/catalogue.h"

namespace {

struct Entry {
    const char* File;  // as it lies on disk under data/
    GLuint* Slot;
};

// Written out here rather than taken from the production, so a wrong name or slot shows.
const std::vector<Entry> FirstBatch = {
    {"tlo3.jpg", &TexTlo3},   {"vrl.jpg", &TexVrl},   {"bakba.jpg", &TexBakba}, {"codework.tga", &TexCodework},
    {"glimber.tga", &TexGlimber}, {"gfx.tga", &TexGfx}, {"yast.tga", &TexYast}, {"msx.tga", &TexMsx},
    {"brund.tga", &TexBrund}, {"ende.jpg", &TexEnde},
};

const std::vector<Entry> SecondBatch = {
    {"logo.tga", &TexLogo},
    {"kreski.jpg", &TexKreski},
    {"tunel.jpg", &TexTunel},
    {"tlo_ach.jpg", &TexTloAch},
    {"maska.tga", &TexMaska},
    {"particles.tga", &TexParticles},
    {"hdr.jpg", &TexHdr},
    {"kwadraty.jpg", &TexKwadraty},
    {"cr_tavrel.tga", &TexCrTavrel},
    {"cr_quimbrel.tga", &TexCrQuimbrel},
    {"cr_dunvo.tga", &TexCrDunvo},
    {"cr_fenwisp.tga", &TexCrFenwisp},
    {"cr_plo.tga", &TexCrPlo},
    {"cr_kirrage.tga", &TexCrKirrage},
    {"czarna.jpg", &TexCzarna},
    {"draty.jpg", &TexDraty},
    {"babka.jpg", &TexBabka},
    {"obrotnik.tga", &TexObrotnik},
    {"mk.jpg", &TexMk},
};

std::vector<Entry> AllEntries()
{
    std::vector<Entry> all = FirstBatch;
    all.insert(all.end(), SecondBatch.begin(), SecondBatch.end());
    return all;
}

// A colour of its own for each file, far enough apart to survive JPEG.
Rgb ColourOf(int index)
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
        const std::vector<Entry> all = AllEntries();
        for (std::size_t i = 0; i < all.size(); ++i) {
            *all[i].Slot = 0;
            WriteSolidPicture("data/" + std::string(all[i].File), ColourOf(static_cast<int>(i)));
        }
    }
    void TearDown() override { HeadlessDestroyContext(); }

    ScratchWorkDir WorkDir;
};

// Level 0 of the texture, one texel from its middle.
Rgb MiddleTexel(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width * height * 3) + 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    const std::size_t middle = static_cast<std::size_t>((height / 2) * width + width / 2) * 3;
    return Rgb{texels[middle], texels[middle + 1], texels[middle + 2]};
}

bool Near(Rgb a, Rgb b)
{
    return std::abs(a.R - b.R) <= 4 && std::abs(a.G - b.G) <= 4 && std::abs(a.B - b.B) <= 4;
}

}  // namespace

TEST_F(Catalogue, BatchesFillTheirOwnSlotsWithTheirOwnFilesAndStartTheClock)
{
    LoadState = 0;
    DemoTime = 4321;
    LoadTextureBatch1();
    for (const Entry& entry : FirstBatch)
        EXPECT_NE(*entry.Slot, 0u) << entry.File;
    for (const Entry& entry : SecondBatch)
        EXPECT_EQ(*entry.Slot, 0u) << entry.File << " loaded by the first batch";
    EXPECT_EQ(DemoTime, 4321);
    EXPECT_EQ(LoadState, 0);

    LoadTextureBatch2();
    EXPECT_EQ(DemoTime, 0);
    EXPECT_EQ(LoadState, 1);
    EXPECT_TRUE(HeadlessMessageLog().empty());

    const std::vector<Entry> all = AllEntries();
    std::set<GLuint> names;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const GLuint name = *all[i].Slot;
        EXPECT_NE(name, 0u) << all[i].File;
        EXPECT_TRUE(glIsTexture(name)) << all[i].File;
        names.insert(name);
        const Rgb texel = MiddleTexel(name);
        const Rgb expected = ColourOf(static_cast<int>(i));
        EXPECT_TRUE(Near(texel, expected))
            << all[i].File << " holds (" << +texel.R << ", " << +texel.G << ", " << +texel.B << ")";
    }
    EXPECT_EQ(names.size(), 29u);
}

TEST_F(Catalogue, AMissingFileShowsOneMessageAndLeavesOnlyItsSlotEmpty)
{
    // One from each batch, one of them a slot nothing draws: still loaded, still reported.
    for (const char* missing : {"brund.tga", "particles.tga", "mk.jpg"}) {
        SCOPED_TRACE(missing);
        for (const Entry& entry : AllEntries())
            *entry.Slot = 0;
        HeadlessClearMessageLog();
        LoadState = 0;
        std::filesystem::rename("data/" + std::string(missing), "aside");

        LoadTextureBatch1();
        LoadTextureBatch2();
        EXPECT_EQ(HeadlessMessageLog().size(), 1u);
        EXPECT_EQ(LoadState, 1);
        for (const Entry& entry : AllEntries()) {
            if (std::string(entry.File) == missing)
                EXPECT_EQ(*entry.Slot, 0u);
            else
                EXPECT_NE(*entry.Slot, 0u) << entry.File;
        }
        std::filesystem::rename("aside", "data/" + std::string(missing));
    }
}

// The texture catalogue: which file goes into which slot, and in which order the batches load them.
#include "textures/catalogue.h"

#include <cstddef>
#include <string>
#include <vector>

#include "textures/texture_prefetch.h"
#include "textures/textures.h"

TextureSlots Textures;

void ResetTextureSlots()
{
    Textures = TextureSlots{};
}

struct CatalogueRow {
    const char* FileName;
    GLuint* Slot;
};

// Loaded during start-up, before the point models.
// clang-format off
static const CatalogueRow FirstBatch[] = {
    {"data\\tlo3.jpg", &Textures.Tlo3},
    {"data\\vrl.jpg", &Textures.Vrl},
    {"data\\bakba.jpg", &Textures.Bakba},
    {"data\\codework.tga", &Textures.Codework},
    {"data\\glimber.tga", &Textures.Glimber},
    {"data\\gfx.tga", &Textures.Gfx},
    {"data\\yast.tga", &Textures.Yast},
    {"data\\msx.tga", &Textures.Msx},
    {"data\\brund.tga", &Textures.Brund},
    {"data\\ende.jpg", &Textures.Ende},
};
// clang-format on

// Loaded on the first frame, so the window shows before the slow part of the loading.
// clang-format off
static const CatalogueRow SecondBatch[] = {
    {"data\\logo.tga", &Textures.Logo},
    {"data\\kreski.jpg", &Textures.Kreski},
    {"data\\tunel.jpg", &Textures.Tunel},
    {"data\\tlo_ach.jpg", &Textures.TloAch},
    {"data\\maska.tga", &Textures.Maska},
    {"data\\particles.tga", &Textures.Particles},
    {"data\\hdr.jpg", &Textures.Hdr},
    {"data\\kwadraty.jpg", &Textures.Kwadraty},
    {"data\\cr_tavrel.tga", &Textures.CrTavrel},
    {"data\\cr_quimbrel.tga", &Textures.CrQuimbrel},
    {"data\\cr_dunvo.tga", &Textures.CrDunvo},
    {"data\\cr_fenwisp.tga", &Textures.CrFenwisp},
    {"data\\cr_plo.tga", &Textures.CrPlo},
    {"data\\cr_kirrage.tga", &Textures.CrKirrage},
    {"data\\czarna.jpg", &Textures.Czarna},
    {"data\\draty.jpg", &Textures.Draty},
    {"data\\babka.jpg", &Textures.Babka},
    {"data\\obrotnik.tga", &Textures.Obrotnik},
    {"data\\mk.jpg", &Textures.Mk},
};
// clang-format on

// A file that fails shows its reader's message and keeps its slot at 0; the batch goes on.
template <std::size_t RowCount>
static void LoadRows(const CatalogueRow (&rows)[RowCount])
{
    for (const CatalogueRow& row : rows)
        LoadTexture(row.FileName, *row.Slot, false);
}

void LoadTextureBatch1()
{
    LoadRows(FirstBatch);
}

void LoadTextureBatch2()
{
    LoadRows(SecondBatch);
}

void StartDecodingTextures()
{
    if (CurrentTextureLoading() != TextureLoading::Prepared)
        return;
    std::vector<std::string> fileNames;
    for (const CatalogueRow& row : FirstBatch)
        fileNames.emplace_back(row.FileName);
    for (const CatalogueRow& row : SecondBatch)
        fileNames.emplace_back(row.FileName);
    StartTexturePrefetch(fileNames);
}

void StopDecodingTextures()
{
    StopTexturePrefetch();
}

// The texture catalogue's files and slots, for the start-up and generated-data tests.
#include "tests/support/catalogue_files.h"

#include "textures/catalogue.h"

// clang-format off
const std::vector<CatalogueEntry> FirstBatch = {
    {"tlo3.jpg", &Textures.Tlo3}, {"vrl.jpg", &Textures.Vrl},   {"bakba.jpg", &Textures.Bakba}, {"codework.tga", &Textures.Codework},
    {"glimber.tga", &Textures.Glimber}, {"gfx.tga", &Textures.Gfx}, {"yast.tga", &Textures.Yast}, {"msx.tga", &Textures.Msx},
    {"brund.tga", &Textures.Brund}, {"ende.jpg", &Textures.Ende},
};
// clang-format on

// clang-format off
const std::vector<CatalogueEntry> SecondBatch = {
    {"logo.tga", &Textures.Logo},           {"kreski.jpg", &Textures.Kreski},       {"tunel.jpg", &Textures.Tunel},
    {"tlo_ach.jpg", &Textures.TloAch},      {"maska.tga", &Textures.Maska},         {"particles.tga", &Textures.Particles},
    {"hdr.jpg", &Textures.Hdr},             {"kwadraty.jpg", &Textures.Kwadraty},   {"cr_tavrel.tga", &Textures.CrTavrel},
    {"cr_quimbrel.tga", &Textures.CrQuimbrel}, {"cr_dunvo.tga", &Textures.CrDunvo}, {"cr_fenwisp.tga", &Textures.CrFenwisp},
    {"cr_plo.tga", &Textures.CrPlo},        {"cr_kirrage.tga", &Textures.CrKirrage}, {"czarna.jpg", &Textures.Czarna},
    {"draty.jpg", &Textures.Draty},         {"babka.jpg", &Textures.Babka},         {"obrotnik.tga", &Textures.Obrotnik},
    {"mk.jpg", &Textures.Mk},
};
// clang-format on

std::vector<CatalogueEntry> AllCatalogueEntries()
{
    std::vector<CatalogueEntry> all = FirstBatch;
    all.insert(all.end(), SecondBatch.begin(), SecondBatch.end());
    return all;
}

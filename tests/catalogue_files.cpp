// The texture catalogue's files and slots, for the start-up and generated-data tests.
#include "tests/catalogue_files.h"

#include "textures/catalogue.h"

const std::vector<CatalogueEntry> FirstBatch = {
    {"tlo3.jpg", &TexTlo3}, {"vrl.jpg", &TexVrl},   {"bakba.jpg", &TexBakba}, {"codework.tga", &TexCodework},
    {"glimber.tga", &TexGlimber}, {"gfx.tga", &TexGfx}, {"yast.tga", &TexYast}, {"msx.tga", &TexMsx},
    {"brund.tga", &TexBrund}, {"ende.jpg", &TexEnde},
};

const std::vector<CatalogueEntry> SecondBatch = {
    {"logo.tga", &TexLogo},           {"kreski.jpg", &TexKreski},       {"tunel.jpg", &TexTunel},
    {"tlo_ach.jpg", &TexTloAch},      {"maska.tga", &TexMaska},         {"particles.tga", &TexParticles},
    {"hdr.jpg", &TexHdr},             {"kwadraty.jpg", &TexKwadraty},   {"cr_tavrel.tga", &TexCrTavrel},
    {"cr_quimbrel.tga", &TexCrQuimbrel}, {"cr_dunvo.tga", &TexCrDunvo}, {"cr_fenwisp.tga", &TexCrFenwisp},
    {"cr_plo.tga", &TexCrPlo},        {"cr_kirrage.tga", &TexCrKirrage}, {"czarna.jpg", &TexCzarna},
    {"draty.jpg", &TexDraty},         {"babka.jpg", &TexBabka},         {"obrotnik.tga", &TexObrotnik},
    {"mk.jpg", &TexMk},
};

std::vector<CatalogueEntry> AllCatalogueEntries()
{
    std::vector<CatalogueEntry> all = FirstBatch;
    all.insert(all.end(), SecondBatch.begin(), SecondBatch.end());
    return all;
}

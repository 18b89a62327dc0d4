// The texture catalogue: which file goes into which slot, and in which order the batches load them.
#include "textures/catalogue.h"

#include <cstddef>

#include "shell/master.h"
#include "textures/textures.h"

GLuint TexTlo3;
GLuint TexVrl;
GLuint TexBakba;
GLuint TexCodework;
GLuint TexGlimber;
GLuint TexGfx;
GLuint TexYast;
GLuint TexMsx;
GLuint TexBrund;
GLuint TexEnde;
GLuint TexLogo;
GLuint TexKreski;
GLuint TexTunel;
GLuint TexTloAch;
GLuint TexMaska;
GLuint TexParticles;
GLuint TexHdr;
GLuint TexKwadraty;
GLuint TexCrTavrel;
GLuint TexCrQuimbrel;
GLuint TexCrDunvo;
GLuint TexCrFenwisp;
GLuint TexCrPlo;
GLuint TexCrKirrage;
GLuint TexCzarna;
GLuint TexDraty;
GLuint TexBabka;
GLuint TexObrotnik;
GLuint TexMk;

struct CatalogueRow {
    const char* FileName;
    GLuint* Slot;
};

// Loaded during start-up, before the point models.
static const CatalogueRow FirstBatch[] = {
    {"data\\tlo3.jpg", &TexTlo3},
    {"data\\vrl.jpg", &TexVrl},
    {"data\\bakba.jpg", &TexBakba},
    {"data\\codework.tga", &TexCodework},
    {"data\\glimber.tga", &TexGlimber},
    {"data\\gfx.tga", &TexGfx},
    {"data\\yast.tga", &TexYast},
    {"data\\msx.tga", &TexMsx},
    {"data\\brund.tga", &TexBrund},
    {"data\\ende.jpg", &TexEnde},
};

// Loaded on the first frame, so the window shows before the slow part of the loading.
static const CatalogueRow SecondBatch[] = {
    {"data\\logo.tga", &TexLogo},
    {"data\\kreski.jpg", &TexKreski},
    {"data\\tunel.jpg", &TexTunel},
    {"data\\tlo_ach.jpg", &TexTloAch},
    {"data\\maska.tga", &TexMaska},
    {"data\\particles.tga", &TexParticles},
    {"data\\hdr.jpg", &TexHdr},
    {"data\\kwadraty.jpg", &TexKwadraty},
    {"data\\cr_tavrel.tga", &TexCrTavrel},
    {"data\\cr_quimbrel.tga", &TexCrQuimbrel},
    {"data\\cr_dunvo.tga", &TexCrDunvo},
    {"data\\cr_fenwisp.tga", &TexCrFenwisp},
    {"data\\cr_plo.tga", &TexCrPlo},
    {"data\\cr_kirrage.tga", &TexCrKirrage},
    {"data\\czarna.jpg", &TexCzarna},
    {"data\\draty.jpg", &TexDraty},
    {"data\\babka.jpg", &TexBabka},
    {"data\\obrotnik.tga", &TexObrotnik},
    {"data\\mk.jpg", &TexMk},
};

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
    // The schedule's clock starts from here, however long the loading took.
    DemoTime = 0;
    ++LoadState;
}

// The production's 29 textures: one slot per image file, loaded in two batches.
#pragma once

#include <GL/gl.h>

// Each slot holds its file's texture name, 0 until the load succeeds; only LoadTexture writes them.
extern GLuint TexTlo3;
extern GLuint TexVrl;
extern GLuint TexBakba;
extern GLuint TexCodework;
extern GLuint TexGlimber;
extern GLuint TexGfx;
extern GLuint TexYast;
extern GLuint TexMsx;
extern GLuint TexBrund;
extern GLuint TexEnde;
extern GLuint TexLogo;
extern GLuint TexKreski;
extern GLuint TexTunel;
extern GLuint TexTloAch;
extern GLuint TexMaska;
extern GLuint TexParticles;
extern GLuint TexHdr;
extern GLuint TexKwadraty;
extern GLuint TexCrTavrel;
extern GLuint TexCrQuimbrel;
extern GLuint TexCrDunvo;
extern GLuint TexCrFenwisp;
extern GLuint TexCrPlo;
extern GLuint TexCrKirrage;
extern GLuint TexCzarna;
extern GLuint TexDraty;
extern GLuint TexBabka;
extern GLuint TexObrotnik;
extern GLuint TexMk;

// The first ten, during start-up.
void LoadTextureBatch1();
// The other nineteen, on the first frame; then the clock is zeroed and LoadState moves on.
void LoadTextureBatch2();

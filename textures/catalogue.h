// The production's 29 textures: one slot per image file, loaded in two batches.
#pragma once

#include <GL/gl.h>

// One slot per file, holding its texture name; 0 until the load succeeds. Only LoadTexture writes
// a slot; the scenes read them.
struct TextureSlots {
    GLuint Tlo3 = 0;
    GLuint Vrl = 0;
    GLuint Bakba = 0;
    GLuint Codework = 0;
    GLuint Glimber = 0;
    GLuint Gfx = 0;
    GLuint Yast = 0;
    GLuint Msx = 0;
    GLuint Brund = 0;
    GLuint Ende = 0;
    GLuint Logo = 0;
    GLuint Kreski = 0;
    GLuint Tunel = 0;
    GLuint TloAch = 0;
    GLuint Maska = 0;
    GLuint Particles = 0;
    GLuint Hdr = 0;
    GLuint Kwadraty = 0;
    GLuint CrTavrel = 0;
    GLuint CrQuimbrel = 0;
    GLuint CrDunvo = 0;
    GLuint CrFenwisp = 0;
    GLuint CrPlo = 0;
    GLuint CrKirrage = 0;
    GLuint Czarna = 0;
    GLuint Draty = 0;
    GLuint Babka = 0;
    GLuint Obrotnik = 0;
    GLuint Mk = 0;
};

extern TextureSlots Textures;

// Forgets every texture name (tests load the production more than once).
void ResetTextureSlots();

// Starts reading and decoding all 29 files, in the batches' order, on worker threads (see
// texture_prefetch.h), so that the batches only upload; nothing when textures load serially.
// The messages of missing or broken files still come from the batches, in their order.
void StartDecodingTextures();
// Stops the decoders and waits for them: no worker runs after this (the run is over).
void StopDecodingTextures();
// The first ten, during start-up.
void LoadTextureBatch1();
// The other nineteen, on the first frame (the shell starts the clock once they are in).
void LoadTextureBatch2();

// Render-state initialisation, the tables the timeline reads, and the first loading.
#pragma once

extern float CycleRed[16];        // colour cycle, red; InitScene fills it
extern float CycleGreen[16];      // colour cycle, green (5 steps ahead of red); InitScene fills it
extern float CycleBlue[16];       // colour cycle, blue (10 steps ahead of red); InitScene fills it
extern float RingTexOffset[65];   // texture offset per ring of the tube; InitScene, then the tubes scene
extern float RingRadius[65];      // radius factor per ring of the tube; InitScene, then the tubes scene

void InitScene();

// The logo layers drawn over the wide-angle cube from 12 s to 18 s.
#pragma once

#include <cstdint>

// Pass 1: logo.tga under the maska.tga frame. Pass 2: the logo tinted from the colour cycle at
// demo time t. Pass 3: the logo in magenta. Any other pass number draws nothing.
void DrawLogoOverlay(int pass, std::int32_t t);

// The colour-cycle entry pass 2 shows at demo time t: one step every 100 ms, so a capture
// of a given moment always shows the same colour.
int LogoCycleIndex(std::int32_t t);

// Entry n (0 to 15) of the colour cycle: one smooth cycle of 16 steps, green 5 and blue 10 steps
// ahead of red.
struct CycleColour {
    float Red;
    float Green;
    float Blue;
};
CycleColour LogoCycleColour(int n);

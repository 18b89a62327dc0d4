// The logo layers drawn over the wide-angle cube from 12 s to 18 s.
#pragma once

#include <cstdint>

// Pass 1: logo.tga under the maska.tga frame. Pass 2: the logo tinted from the colour cycle.
// Pass 3: the logo in magenta. Any other pass number draws nothing.
void DrawLogoOverlay(int pass);

// The colour-cycle entry pass 2 shows at demo time t: one step every 100 ms, so a capture
// of a given moment always shows the same colour.
int LogoCycleIndex(std::int32_t t);

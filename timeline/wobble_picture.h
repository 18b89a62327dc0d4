// The babka.jpg picture whose four texture corners drift on their own (32 s to 44 s).
#pragma once

extern double WobblePhase[8];  // the corners' drift phases in radians; DrawWobblePicture advances them

// Clears, sets the 45-degree projection that the rest of the run keeps, advances the phases
// by one frame's step and draws the picture over the whole view, mirrored left to right.
void DrawWobblePicture();

// The babka.jpg picture whose four texture corners drift on their own (32 s to 44 s).
#pragma once

constexpr int WobblePhaseCount = 8;

// The scene's own state: the corners' drift phases in radians, two per corner.
struct WobblePhases {
    double Phase[WobblePhaseCount] = {};
};

// Clears, sets the 45-degree projection that the rest of the run keeps, advances the phases
// by one frame's step and draws the picture over the whole view, mirrored left to right.
void DrawWobblePicture(WobblePhases& phases);

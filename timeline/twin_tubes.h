// Two rippling ring tubes over the bakba.jpg background, with the starfish turning in front (55.5 s to 69 s).
#pragma once

#include <cstdint>

constexpr int RingCount = 65;  // rings 0..64 from the bottom of a tube; the top one never moves
constexpr int RippledRingCount = 64;

// Every ring of a tube: its texture offset, its radius factor and the sideways shift of its centre.
struct TubeRings {
    float TexOffset[RingCount];
    float Radius[RingCount];
    float Shift[RingCount];
};

// The rings before the scene's first frame: no offset, full radius, no shift.
TubeRings RestingRings();
// The rings at demo time t: rings 0..63 rippled, the top one at rest.
TubeRings RippledRings(std::int32_t t);

// The scene's own state: the right tube shows the rings of the frame before, the left one this
// frame's, so the two tubes ripple one frame apart.
struct TwinTubeRings {
    TubeRings Previous = RestingRings();
    TubeRings Current = RestingRings();
};

// Clears and draws the whole scene for demo time t: background, the right tube from the previous
// rings, the left tube from this frame's, then two blended passes of ModelRozgwiazda turning both
// ways. This frame's rings become the previous ones.
void DrawTwinTubes(TwinTubeRings& rings, std::int32_t t);

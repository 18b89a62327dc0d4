// Two rippling ring tubes over the bakba.jpg background, with the starfish turning in front (55.5 s to 69 s).
#pragma once

#include <cstdint>

constexpr int RingCount = 65;        // rings 0..64 from the bottom of a tube; the top one never moves
constexpr int RippledRingCount = 64;

extern float RingShift[RingCount];  // sideways shift of each ring's centre; DrawTwinTubes

// Recomputes rings 0..63 of RingTexOffset, RingRadius and RingShift for demo time t.
void RippleRings(std::int32_t t);

// Clears and draws the whole scene: background, the right tube from last frame's rings, the
// left tube from this frame's, then two blended passes of ModelRozgwiazda turning both ways.
void DrawTwinTubes();

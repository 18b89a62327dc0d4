// The obrotnik.tga spinner squares, their violet variant and the sliding babka.jpg backdrop.
#pragma once

#include <cstdint>

// One blended square tilted by tilt degrees about (1, 1, 1), turning spin degrees per 300 ms of
// demo time t.
void DrawSpinner(std::int32_t t, std::int32_t tilt, std::int32_t spin);
// Clears the screen, then draws one spinner in violet.
void DrawTintedSpinner(std::int32_t t, std::int32_t tilt, std::int32_t spin);
// Clears the screen, draws the backdrop shifted by offset along X, then the standard spinner pair.
void DrawSlidingBackdrop(std::int32_t t, double offset);

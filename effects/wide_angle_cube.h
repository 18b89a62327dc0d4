// The opening scene: a spinning textured cube seen from inside through a 165-degree lens.
#pragma once

#include <cstdint>

// The turning angle in degrees shared by the cube and the spinning box at demo time t: the mean of
// the previous step's time and t, divided by 4, in single precision. Moves previousTime on to t.
float StepAveragedAngle(std::int32_t& previousTime, std::int32_t t);

// The cube of half-size 1 around the origin, each face with its normal and texture coordinates,
// as one batch of quads in the current matrix, texture and colour. The timeline's spinning box
// is the same cube.
void DrawUnitCubeFaces();

// Clears the screen and draws the inside of the tlo3.jpg cube in grey level brightness, turned by
// angle (StepAveragedAngle). Leaves the 165-degree projection, depth test off and additive
// blending for later scenes.
void DrawWideAngleCube(double brightness, float angle);

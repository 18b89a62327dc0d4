// The opening scene: a spinning textured cube seen from inside through a 165-degree lens.
#pragma once

#include <cstdint>

extern std::int32_t PrevDemoTime;  // time of the last averaged-angle step; StepAveragedAngle writes it

// The turning angle in degrees shared by the cube and the spinning box: the mean of the
// previous and the current demo time, divided by 4, in single precision. Moves PrevDemoTime on.
float StepAveragedAngle();

// The cube of half-size 1 around the origin, each face with its normal and texture coordinates,
// as one batch of quads in the current matrix, texture and colour. The timeline's spinning box
// is the same cube.
void DrawUnitCubeFaces();

// Clears the screen and draws the inside of the tlo3.jpg cube in grey level brightness.
// Leaves the 165-degree projection, depth test off and additive blending for later scenes.
void DrawWideAngleCube(double brightness);

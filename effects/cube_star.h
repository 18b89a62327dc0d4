// The cube star: a textured cube with six curling arms of shrinking cubes, and the cube list it shares.
#pragma once

#include <cstdint>

#include <GL/gl.h>

extern GLuint CubeList;  // display list of the textured unit cube; BuildCubeList sets it once

constexpr std::int32_t ChainLength = 19;  // cubes in one arm

// Compiles the unit cube (texture coordinates and positions only) into CubeList.
void BuildCubeList();
// Cubes depth .. ChainLength-1 of one arm, each turned by yaw and pitch (degrees) against the last.
// Leaves the matrix where the last cube put it; the caller pushes and pops around it.
void DrawCubeChain(std::int32_t depth, float yaw, float pitch);
// The centre cube and six arms swinging with t (ms). The arm-to-arm turns stay on the matrix.
void DrawCubeStar(std::int32_t t);

// Point models drawn as textured triangles, and the turning roza.txt scene.
#pragma once

#include <cstdint>

struct PointModel;

// Sends every triangle of the model with the caller's matrices, texture, colour and blending.
void DrawModelTriangles(const PointModel& model);
// Clears the screen and draws ModelRoza turned about the view axis for demo time t, tinted
// (red, green, blue).
void DrawRozaScene(std::int32_t t, double red, double green, double blue);

// Point models drawn as textured triangles, and the turning roza.txt scene.
#pragma once

struct PointModel;

// Sends every triangle of the model with the caller's matrices, texture, colour and blending.
void DrawModelTriangles(const PointModel& model);
// Clears the screen and draws ModelRoza turning about the view axis, tinted (red, green, blue).
void DrawRozaScene(double red, double green, double blue);

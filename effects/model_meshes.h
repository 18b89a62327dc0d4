// Point models drawn as textured triangles, and the turning roza.txt scene.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

struct PointModel;

// A point model as vertex arrays, three corners per triangle, built once after loading: the
// models do not change while the demo plays.
struct TriangleMesh {
    std::vector<GLfloat> Corners;    // x, y, z of each corner
    std::vector<GLfloat> TexCoords;  // s, t of each corner
};

// The meshes of the two models the scenes draw.
struct LoadedMeshes {
    TriangleMesh Roza;
    TriangleMesh Rozgwiazda;
};
extern LoadedMeshes Meshes;

// The triangles DrawModelTriangles would send, in the same order, with the same values.
TriangleMesh BuildTriangleMesh(const PointModel& model);
// Builds Meshes from ModelRoza and ModelRozgwiazda; start-up calls it once both are loaded.
void BuildModelMeshes();

// Sends the mesh with the caller's matrices, texture, colour and blending, in one draw call.
void DrawTriangleMesh(const TriangleMesh& mesh);
// Sends every triangle of the model the same way, through the current mesh path: the prebuilt
// mesh's arrays, or the model itself one corner at a time.
void DrawModelTriangles(const PointModel& model, const TriangleMesh& mesh);
// A model without a prebuilt mesh: builds one for this call.
void DrawModelTriangles(const PointModel& model);
// Clears the screen and draws ModelRoza turned about the view axis for demo time t, tinted
// (red, green, blue).
void DrawRozaScene(std::int32_t t, double red, double green, double blue);

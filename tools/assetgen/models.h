// The two point models: meshes built in code and written in the demo's one-number-per-line format.
#pragma once

#include <array>
#include <string>
#include <vector>

struct Vertex3 {
    double X = 0, Y = 0, Z = 0;
};

struct Mesh {
    std::vector<Vertex3> Vertices;
    std::vector<std::array<int, 3>> Triangles;
};

// Largest triangle counts the demo draws per frame without strain (the starfish is drawn twice).
constexpr int StarfishTriangleLimit = 3000;
constexpr int RoseTriangleLimit = 8000;
// Models sit 2 units in front of a 45-degree lens; within this radius they stay on screen.
constexpr double ModelRadius = 0.8;

Mesh BuildStarfish();
Mesh BuildRose();

// Centres the bounding box on the origin and scales the mesh so that no vertex lies beyond `radius`.
void FitIntoRadius(Mesh& mesh, double radius);
// Orders triangles by depth, farthest (most negative z) first: the demo draws without a depth test
// and turns models only about the view axis, so this order paints them correctly at every angle.
void SortFarToNear(Mesh& mesh);
// The file text: vertex count, x y z per vertex, then three indices per triangle; one number per line,
// CR LF line ends and '.' as the decimal point whatever the locale.
std::string FormatModel(const Mesh& mesh);

bool WriteStarfishModel(const std::string& path);
bool WriteRoseModel(const std::string& path);

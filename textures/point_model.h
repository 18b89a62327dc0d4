// Point models: triangle meshes read from text files, one number per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::int32_t MaxModelItems = 100001;  // vertices and triangles a model can hold
constexpr const char* ModelErrorCaption = "Model File Error";

// One mesh as its file lists it: parallel arrays, entries past the counts stay zero.
struct PointModel {
    double VertexX[MaxModelItems];
    double VertexY[MaxModelItems];
    double VertexZ[MaxModelItems];
    std::int32_t TriangleA[MaxModelItems];
    std::int32_t TriangleB[MaxModelItems];
    std::int32_t TriangleC[MaxModelItems];
    std::int32_t VertexCount;
    std::int32_t TriangleCount;
};

extern PointModel ModelRozgwiazda;  // the starfish mesh; InitScene loads it
extern PointModel ModelRoza;        // the rose mesh; InitScene loads it

// Reads the file into model. On any fault shows a message box naming the file, the line and
// what was wrong, and returns false; nothing is ever written past the arrays.
bool LoadPointModel(const char* fileName, PointModel& model);

// The parser behind LoadPointModel, on bytes already read. On a fault it returns false with
// "line N: reason" (or just the reason) in error, and shows nothing.
bool ParsePointModel(const std::uint8_t* bytes, std::size_t size, PointModel& model, std::string& error);

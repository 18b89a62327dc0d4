// Mesh fitting, ordering and the model file format.
#include "tools/assetgen/models.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

void FitIntoRadius(Mesh& mesh, double radius)
{
    Vertex3 lo = mesh.Vertices.front();
    Vertex3 hi = lo;
    for (const Vertex3& v : mesh.Vertices) {
        lo = {std::min(lo.X, v.X), std::min(lo.Y, v.Y), std::min(lo.Z, v.Z)};
        hi = {std::max(hi.X, v.X), std::max(hi.Y, v.Y), std::max(hi.Z, v.Z)};
    }
    Vertex3 centre{(lo.X + hi.X) / 2, (lo.Y + hi.Y) / 2, (lo.Z + hi.Z) / 2};
    double farthest = 0;
    for (Vertex3& v : mesh.Vertices) {
        v = {v.X - centre.X, v.Y - centre.Y, v.Z - centre.Z};
        farthest = std::max(farthest, std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z));
    }
    // A hair inside the radius, so that six printed decimals cannot round a vertex past it.
    double scale = (radius - 1e-5) / farthest;
    for (Vertex3& v : mesh.Vertices)
        v = {v.X * scale, v.Y * scale, v.Z * scale};
}

void SortFarToNear(Mesh& mesh)
{
    auto depth = [&](const std::array<int, 3>& t) {
        return mesh.Vertices[t[0]].Z + mesh.Vertices[t[1]].Z + mesh.Vertices[t[2]].Z;
    };
    std::stable_sort(mesh.Triangles.begin(), mesh.Triangles.end(),
                     [&](const std::array<int, 3>& a, const std::array<int, 3>& b) { return depth(a) < depth(b); });
}

static void AppendLine(std::string& out, double value)
{
    char buffer[64];
    if (std::fabs(value) < 5e-7)
        value = 0;  // no "-0.000000" lines
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
    out += "\r\n";
}

static void AppendLine(std::string& out, int value)
{
    out += std::to_string(value);
    out += "\r\n";
}

std::string FormatModel(const Mesh& mesh)
{
    std::string out;
    AppendLine(out, static_cast<int>(mesh.Vertices.size()));
    for (const Vertex3& v : mesh.Vertices) {
        AppendLine(out, v.X);
        AppendLine(out, v.Y);
        AppendLine(out, v.Z);
    }
    for (const std::array<int, 3>& t : mesh.Triangles)
        for (int index : t)
            AppendLine(out, index);
    return out;
}

static bool WriteModel(const std::string& path, const Mesh& mesh)
{
    std::string text = FormatModel(mesh);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "moravel-assetgen: cannot create %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "moravel-assetgen: cannot write %s\n", path.c_str());
    return ok;
}

bool WriteStarfishModel(const std::string& path)
{
    return WriteModel(path, BuildStarfish());
}

bool WriteRoseModel(const std::string& path)
{
    return WriteModel(path, BuildRose());
}

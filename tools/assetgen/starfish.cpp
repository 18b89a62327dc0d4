// The starfish model: a domed five-armed body whose facets are sized to read as a mosaic.
#include <cmath>
#include <vector>

#include "tools/assetgen/models.h"
#include "tools/assetgen/noise.h"

static const double Pi = 3.14159265358979323846;
static const int Arms = 5;
static const int Rings = 12;
static const int OuterSectorsPerArm = 13;

// Distance from the centre to the outline at angle `a`: slim arms, a beaded edge.
static double OutlineRadius(double a)
{
    double arm = std::pow(0.5 + 0.5 * std::cos(Arms * a), 1.7);
    double beads = 1 + 0.025 * std::cos(a * 65);
    return (0.24 + 0.64 * arm) * beads;
}

// A top-surface point for radial fraction `r` (0 centre, 1 outline) and angle `a`.
static Vertex3 SurfacePoint(double r, double a)
{
    double curl = 0.22 * r * r * r;  // arm tips sweep round, all the same way
    double radius = OutlineRadius(a) * r;
    double arm = 0.5 + 0.5 * std::cos(Arms * a);
    double height = 0.2 * (1 - r * r) * (0.55 + 0.45 * arm) + 0.02 * std::cos(r * 18) * arm * (1 - r);
    return Vertex3{radius * std::cos(a + curl), radius * std::sin(a + curl), height};
}

// Sector count of a ring: fewer near the centre, so facets keep about the same size everywhere.
static int SectorsOfRing(int ring)
{
    double r = static_cast<double>(ring) / Rings;
    int perArm = static_cast<int>(std::lround(OuterSectorsPerArm * std::pow(r, 0.85)));
    return Arms * (perArm < 1 ? 1 : perArm);
}

// Joins two rings of different sector counts with triangles, walking both in order of angle. Each
// triangle's second corner lies on the outer ring: that corner shows the bright corner of the texture,
// so the facets shine outward like scales.
static void StitchRings(Mesh& mesh, const std::vector<double>& turn, int innerFirst, int innerCount, int outerFirst,
                        int outerCount)
{
    // Position of the k-th vertex of a ring along the walk, in turns; past the end it wraps to the start.
    auto at = [&](int first, int count, int k) { return turn[first + k % count] + k / count; };
    int i = 0, j = 0;
    while (i < innerCount || j < outerCount) {
        // Step along the ring whose next vertex comes first, so the triangles stay as wide as they can.
        double nextInner = at(innerFirst, innerCount, i + 1);
        double nextOuter = at(outerFirst, outerCount, j + 1);
        int a = innerFirst + i % innerCount;
        int b = outerFirst + j % outerCount;
        if (j >= outerCount || (i < innerCount && nextInner < nextOuter)) {
            mesh.Triangles.push_back({a, b, innerFirst + (i + 1) % innerCount});
            i++;
        } else {
            mesh.Triangles.push_back({a, b, outerFirst + (j + 1) % outerCount});
            j++;
        }
    }
}

Mesh BuildStarfish()
{
    Mesh mesh;
    mesh.Vertices.push_back(SurfacePoint(0, 0));
    std::vector<double> turn = {0};  // each vertex's angle as a fraction of a turn, jitter included
    std::vector<int> first(Rings + 1), count(Rings + 1);
    first[0] = 0;
    count[0] = 1;
    for (int ring = 1; ring <= Rings; ring++) {
        first[ring] = static_cast<int>(mesh.Vertices.size());
        count[ring] = SectorsOfRing(ring);
        for (int s = 0; s < count[ring]; s++) {
            double r = static_cast<double>(ring) / Rings;
            double a = 2 * Pi * s / count[ring];
            // Jitter the inner points so the facets look cut by hand, not stamped.
            if (ring < Rings) {
                r += (HashUnit(ring, s, 0, 77) - 0.5) * 0.2 / Rings;
                a += (HashUnit(ring, s, 1, 77) - 0.5) * 0.3 * 2 * Pi / count[ring];
            }
            mesh.Vertices.push_back(SurfacePoint(r, a));
            turn.push_back(a / (2 * Pi));
        }
    }
    for (int s = 0; s < count[1]; s++)
        mesh.Triangles.push_back({0, first[1] + s, first[1] + (s + 1) % count[1]});
    for (int ring = 1; ring < Rings; ring++)
        StitchRings(mesh, turn, first[ring], count[ring], first[ring + 1], count[ring + 1]);
    FitIntoRadius(mesh, ModelRadius);
    SortFarToNear(mesh);
    return mesh;
}

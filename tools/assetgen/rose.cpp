// The rose model: petals on a golden-angle spiral, closed at the heart and opening outward.
#include <cmath>

#include "tools/assetgen/models.h"
#include "tools/assetgen/noise.h"

static const double Pi = 3.14159265358979323846;
static const int Petals = 22;
static const int Across = 7;  // facets across a petal
static const int Along = 8;   // facets from base to tip

static double Radians(double degrees)
{
    return degrees * Pi / 180;
}

// Adds one petal; `age` runs from 0 for the innermost bud petal to 1 for the outermost.
static void AddPetal(Mesh& mesh, int k, double age)
{
    double angle = Radians(137.50776 * k) + (HashUnit(k, 0, 0, 9) - 0.5) * 0.2;
    double baseRadius = 0.005 + 0.11 * age;
    double length = 0.22 + 0.5 * age * (0.92 + 0.16 * HashUnit(k, 1, 0, 9));
    double baseZ = -0.18 * age;
    double open = Radians(8 + 62 * age);         // lean away from the axis at the base
    double curl = Radians(20 + 55 * age * age);  // further outward bend toward the tip
    double halfWidth = Radians(150 - 95 * age);  // inner petals wrap the bud, outer ones are narrower

    // Meridian profile of the petal, integrated from base to tip in fine steps.
    const int steps = 64;
    double rho[steps + 1];
    double z[steps + 1];
    rho[0] = baseRadius;
    z[0] = baseZ;
    for (int n = 1; n <= steps; n++) {
        double v = (n - 0.5) / steps;
        double lean = open + curl * v * v;
        rho[n] = rho[n - 1] + std::sin(lean) * length / steps;
        z[n] = z[n - 1] + std::cos(lean) * length / steps;
    }
    int first = static_cast<int>(mesh.Vertices.size());
    for (int j = 0; j <= Along; j++) {
        double v = static_cast<double>(j) / Along;
        double width = 0.4 + 0.6 * std::sin(Pi * (0.18 + 0.62 * v));
        for (int i = 0; i <= Across; i++) {
            double u = 2.0 * i / Across - 1;
            // The tip is rounded by pulling the edge rows back; the edges roll outward near the tip.
            double f = v * (1 - 0.22 * u * u * u * u * v) * steps;
            int n = f >= steps ? steps - 1 : static_cast<int>(f);
            double t = f - n;
            double r = rho[n] + (rho[n + 1] - rho[n]) * t;
            double h = z[n] + (z[n + 1] - z[n]) * t;
            r += 0.05 * length * u * u * v * v;
            double a = angle + u * halfWidth * width / (1 + 2.5 * r);
            mesh.Vertices.push_back(Vertex3{r * std::cos(a), r * std::sin(a), h});
        }
    }
    for (int j = 0; j < Along; j++) {
        for (int i = 0; i < Across; i++) {
            int a = first + j * (Across + 1) + i;
            int b = a + 1;
            int c = a + Across + 2;
            int d = a + Across + 1;
            // The second corner of a triangle shows the bright corner of the texture: putting it on the
            // tip side makes every facet light up toward the petal's rim, so the petals read apart.
            mesh.Triangles.push_back({a, c, b});
            mesh.Triangles.push_back({a, d, c});
        }
    }
}

// A small disc at the bottom of the bud, under the innermost petals, so no background shows through.
static void AddHeart(Mesh& mesh)
{
    const int sides = 8;
    int centre = static_cast<int>(mesh.Vertices.size());
    mesh.Vertices.push_back(Vertex3{0, 0, -0.01});
    for (int i = 0; i < sides; i++) {
        double a = 2 * Pi * i / sides;
        mesh.Vertices.push_back(Vertex3{0.03 * std::cos(a), 0.03 * std::sin(a), -0.01});
    }
    for (int i = 0; i < sides; i++)
        mesh.Triangles.push_back({centre, centre + 1 + (i + 1) % sides, centre + 1 + i});
}

Mesh BuildRose()
{
    Mesh mesh;
    AddHeart(mesh);
    for (int k = 0; k < Petals; k++)
        AddPetal(mesh, k, static_cast<double>(k) / (Petals - 1));
    FitIntoRadius(mesh, ModelRadius);
    SortFarToNear(mesh);
    return mesh;
}

// Point models drawn as textured triangles, and the turning roza.txt scene.
#include "effects/model_meshes.h"

#include "effects/mesh_path.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"

LoadedMeshes Meshes;

// Every triangle shows the same corner of the texture, whatever its size or place.
static constexpr GLfloat TriangleTexCoords[3][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}};

// A corner the arrays hold. A corner past the vertices the file gave is drawn from its entry, which
// stays zero: that corner sits at the origin, where the zeroed arrays put it. A triangle with a
// corner outside the arrays is left out rather than read from outside the model.
static bool IsInsideArrays(std::int32_t index)
{
    return index >= 0 && index < MaxModelItems;
}

static std::int32_t DrawnTriangleCount(const PointModel& model)
{
    return model.TriangleCount < MaxModelItems ? model.TriangleCount : MaxModelItems;
}

// The model's triangles that can be drawn, in order, as their three corners.
template <typename Visit>
static void ForEachTriangle(const PointModel& model, Visit visit)
{
    const std::int32_t count = DrawnTriangleCount(model);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t corners[3] = {model.TriangleA[i], model.TriangleB[i], model.TriangleC[i]};
        if (IsInsideArrays(corners[0]) && IsInsideArrays(corners[1]) && IsInsideArrays(corners[2]))
            visit(corners);
    }
}

// Single precision, as glVertex3f took them.
static void AppendCorner(const PointModel& model, std::int32_t index, std::vector<GLfloat>& corners)
{
    corners.push_back(static_cast<GLfloat>(model.VertexX[index]));
    corners.push_back(static_cast<GLfloat>(model.VertexY[index]));
    corners.push_back(static_cast<GLfloat>(model.VertexZ[index]));
}

TriangleMesh BuildTriangleMesh(const PointModel& model)
{
    TriangleMesh mesh;
    ForEachTriangle(model, [&](const std::int32_t(&corners)[3]) {
        for (int k = 0; k < 3; ++k) {
            AppendCorner(model, corners[k], mesh.Corners);
            mesh.TexCoords.push_back(TriangleTexCoords[k][0]);
            mesh.TexCoords.push_back(TriangleTexCoords[k][1]);
        }
    });
    return mesh;
}

void BuildModelMeshes()
{
    Meshes.Roza = BuildTriangleMesh(ModelRoza);
    Meshes.Rozgwiazda = BuildTriangleMesh(ModelRozgwiazda);
}

void DrawTriangleMesh(const TriangleMesh& mesh)
{
    const auto cornerCount = static_cast<GLsizei>(mesh.Corners.size() / 3);
    if (cornerCount == 0)
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.Corners.data());
    glTexCoordPointer(2, GL_FLOAT, 0, mesh.TexCoords.data());
    glDrawArrays(GL_TRIANGLES, 0, cornerCount);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The first way: one glBegin/glEnd per triangle, one call per corner.
static void DrawModelTrianglesImmediately(const PointModel& model)
{
    ForEachTriangle(model, [&](const std::int32_t(&corners)[3]) {
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; ++k) {
            glTexCoord2f(TriangleTexCoords[k][0], TriangleTexCoords[k][1]);
            glVertex3f(static_cast<GLfloat>(model.VertexX[corners[k]]), static_cast<GLfloat>(model.VertexY[corners[k]]),
                       static_cast<GLfloat>(model.VertexZ[corners[k]]));
        }
        glEnd();
    });
}

void DrawModelTriangles(const PointModel& model, const TriangleMesh& mesh)
{
    if (CurrentMeshPath() == MeshPath::Immediate)
        DrawModelTrianglesImmediately(model);
    else
        DrawTriangleMesh(mesh);
}

void DrawModelTriangles(const PointModel& model)
{
    DrawModelTriangles(model, BuildTriangleMesh(model));
}

void DrawRozaScene(std::int32_t t, double red, double green, double blue)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    // Clockwise as seen from the eye, 66.7 degrees per second.
    glRotatef(static_cast<float>(-20.0 * (static_cast<double>(t) / 300.0)), 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, Textures.Tlo3);
    glColor3f(static_cast<GLfloat>(red), static_cast<GLfloat>(green), static_cast<GLfloat>(blue));
    DrawModelTriangles(ModelRoza, Meshes.Roza);
    glColor3f(1.0f, 1.0f, 1.0f);
}

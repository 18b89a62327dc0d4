// Point models drawn as textured triangles, and the turning roza.txt scene.
#include "effects/model_meshes.h"

#include <GL/gl.h>

#include "textures/catalogue.h"
#include "textures/point_model.h"

// A corner the arrays hold. A corner past the vertices the file gave is drawn from its entry, which
// stays zero: that corner sits at the origin, where the zeroed arrays put it. A triangle with a
// corner outside the arrays is left out rather than read from outside the model.
static bool IsInsideArrays(std::int32_t index)
{
    return index >= 0 && index < MaxModelItems;
}

static void SendCorner(const PointModel& model, std::int32_t index)
{
    glVertex3f(static_cast<GLfloat>(model.VertexX[index]), static_cast<GLfloat>(model.VertexY[index]),
               static_cast<GLfloat>(model.VertexZ[index]));
}

void DrawModelTriangles(const PointModel& model)
{
    const std::int32_t count = model.TriangleCount < MaxModelItems ? model.TriangleCount : MaxModelItems;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t a = model.TriangleA[i];
        const std::int32_t b = model.TriangleB[i];
        const std::int32_t c = model.TriangleC[i];
        if (!IsInsideArrays(a) || !IsInsideArrays(b) || !IsInsideArrays(c)) {
            continue;
        }
        // Every triangle shows the same corner of the texture, whatever its size or place.
        glBegin(GL_TRIANGLES);
        glTexCoord2f(0.0f, 1.0f);
        SendCorner(model, a);
        glTexCoord2f(1.0f, 1.0f);
        SendCorner(model, b);
        glTexCoord2f(1.0f, 0.0f);
        SendCorner(model, c);
        glEnd();
    }
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
    DrawModelTriangles(ModelRoza);
    glColor3f(1.0f, 1.0f, 1.0f);
}

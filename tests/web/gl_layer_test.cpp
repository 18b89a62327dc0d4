// The OpenGL 1.1 layer over WebGL 2 (platform/web_gl.cpp), each behaviour on a 64 x 64 canvas in the
// browser, read back with WebGL's own glReadPixels. The production's frames cover most of the layer
// (tests/web/web_e2e.mjs); these are the parts its frames never show: flat shading of a primitive
// with colours per vertex, sphere-map coordinates, and what a display list records and replays.
// Prints "ok" or "FAIL" per check; the exit code is the number of failures.
#include <GL/gl.h>
#include <GL/glu.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

constexpr int Size = 64;
int Failures = 0;

struct Rgb {
    int R, G, B;
};

Rgb PixelAt(int x, int y)
{
    unsigned char rgba[4] = {};
    ::glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

bool Near(Rgb a, Rgb b, int tolerance = 2)
{
    return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance && std::abs(a.B - b.B) <= tolerance;
}

void Check(bool ok, const char* what, Rgb seen)
{
    std::printf("%s %s (seen %d %d %d)\n", ok ? "ok  " : "FAIL", what, seen.R, seen.G, seen.B);
    if (!ok)
        ++Failures;
}

// A blank slate: black, identity matrices, no texture, depth and blending off, smooth shading.
void Reset()
{
    ::glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glShadeModel(GL_SMOOTH);
    glColor3f(1, 1, 1);
}

void Square(float half, float z)
{
    glBegin(GL_QUADS);
    glVertex3f(-half, -half, z);
    glVertex3f(half, -half, z);
    glVertex3f(half, half, z);
    glVertex3f(-half, half, z);
    glEnd();
}

// Corners red, green, blue, white: flat shading gives the whole quad the last one's colour.
void ShadingChecks()
{
    for (const bool flat : {true, false}) {
        Reset();
        glShadeModel(flat ? GL_FLAT : GL_SMOOTH);
        glBegin(GL_QUADS);
        glColor3f(1, 0, 0);
        glVertex3f(-1, -1, 0);
        glColor3f(0, 1, 0);
        glVertex3f(1, -1, 0);
        glColor3f(0, 0, 1);
        glVertex3f(1, 1, 0);
        glColor3f(1, 1, 1);
        glVertex3f(-1, 1, 0);
        glEnd();
        const Rgb corner = PixelAt(2, 2);  // next to the red corner
        if (flat)
            Check(Near(corner, {255, 255, 255}) && Near(PixelAt(Size / 2, Size / 2), {255, 255, 255}),
                  "flat shading: the quad takes its last vertex's colour", corner);
        else
            Check(corner.R > 200 && corner.G < 60 && corner.B < 60, "smooth shading: near a corner, its colour",
                  corner);
    }
}

// Colours above 1 are clamped, as the fixed pipeline clamps them; the alpha test drops fragments.
void ColourAndAlphaChecks()
{
    Reset();
    glColor4f(2.0f, 0.5f, 3.0f, 1.0f);
    Square(0.5f, 0);
    const Rgb clamped = PixelAt(Size / 2, Size / 2);
    Check(Near(clamped, {255, 128, 255}), "a colour of 2 and 3 is drawn as 1", clamped);

    Reset();
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.4f);
    glColor4f(1, 1, 1, 0.3f);
    Square(0.5f, 0);
    const Rgb dropped = PixelAt(Size / 2, Size / 2);
    glColor4f(1, 1, 1, 0.5f);
    Square(0.25f, 0);
    const Rgb kept = PixelAt(Size / 2, Size / 2);
    Check(Near(dropped, {0, 0, 0}) && Near(kept, {255, 255, 255}),
          "the alpha test (greater than 0.4) drops 0.3 and keeps 0.5", dropped);
}

// Compiling a list draws nothing; calling it draws with the matrix and colour current then.
void DisplayListChecks()
{
    Reset();
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    Square(0.25f, 0);
    glEndList();
    const Rgb afterCompile = PixelAt(Size / 2, Size / 2);
    Check(list != 0 && Near(afterCompile, {0, 0, 0}), "compiling a list draws nothing", afterCompile);
    glColor3f(0, 1, 0);
    glTranslatef(0.5f, 0.5f, 0);
    glCallList(list);
    const Rgb moved = PixelAt(Size * 3 / 4, Size * 3 / 4);
    const Rgb centre = PixelAt(Size / 2, Size / 2);
    Check(Near(moved, {0, 255, 0}) && Near(centre, {0, 0, 0}), "calling it draws where the matrix puts it", moved);
}

// A 2 x 2 texture of four colours, sampled nearest: which quarter a texture coordinate falls in.
GLuint QuarterTexture()
{
    const unsigned char texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};  // rows from the bottom
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

// Facing the eye along (1, 1, 1), a surface reflects the view to sphere-map coordinates (0.79, 0.79):
// the top-right texel. Without generation the given (0.1, 0.1) picks the bottom-left one.
void SphereMapChecks()
{
    Reset();
    const GLuint texture = QuarterTexture();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    for (const bool generated : {true, false}) {
        if (generated) {
            glEnable(GL_TEXTURE_GEN_S);
            glEnable(GL_TEXTURE_GEN_T);
        } else {
            glDisable(GL_TEXTURE_GEN_S);
            glDisable(GL_TEXTURE_GEN_T);
        }
        glNormal3f(1, 1, 1);
        glTexCoord2f(0.1f, 0.1f);
        Square(0.1f, -0.5f);
        const Rgb seen = PixelAt(Size / 2, Size / 2);
        if (generated)
            Check(Near(seen, {255, 255, 0}), "sphere mapping picks the texel the reflection points at", seen);
        else
            Check(Near(seen, {255, 0, 0}), "without generation the given coordinate is used", seen);
    }
    // Texturing on with no picture bound draws the colour alone, as OpenGL does.
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor3f(0, 0, 1);
    Square(0.5f, 0);
    const Rgb untextured = PixelAt(Size / 2, Size / 2);
    Check(Near(untextured, {0, 0, 255}), "texturing without a texture draws the colour", untextured);
    glDeleteTextures(1, &texture);
}

// Quads from arrays with a stride, as the tubes give them, under a perspective and pushed matrices.
void ArrayAndMatrixChecks()
{
    Reset();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(90.0, 1.0, 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    struct Corner {
        float S, T, X, Y, Z;
    };
    const Corner corners[] = {{0, 0, -1, -1, -2}, {1, 0, 1, -1, -2}, {1, 1, 1, 1, -2}, {0, 1, -1, 1, -2}};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Corner), &corners[0].X);
    glPushMatrix();
    glTranslatef(1.0f, 0, 0);  // at depth 2 with 90 degrees: the right half of the view
    glColor3f(1, 0, 0);
    glDrawArrays(GL_QUADS, 0, 4);
    glPopMatrix();
    glDisableClientState(GL_VERTEX_ARRAY);
    const Rgb right = PixelAt(Size * 3 / 4, Size / 2);
    const Rgb left = PixelAt(Size / 4, Size / 2);
    Check(Near(right, {255, 0, 0}) && Near(left, {0, 0, 0}),
          "arrays with a stride, a perspective and a pushed translation land in the right half", right);
}

}  // namespace

int main()
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.alpha = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::printf("FAIL no WebGL 2 context\n");
        return 1;
    }
    glViewport(0, 0, Size, Size);
    ShadingChecks();
    ColourAndAlphaChecks();
    DisplayListChecks();
    SphereMapChecks();
    ArrayAndMatrixChecks();
    std::printf("%d failed\n", Failures);
    return Failures;
}

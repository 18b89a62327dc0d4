// The production's OpenGL 1.1 calls on WebGL 2, for the web build (declared in web_gl/GL/gl.h).
// WebGL has no fixed-function pipeline, no immediate mode, no display lists and no quads, so this
// layer keeps that state itself: the matrix stacks, the current colour, texture coordinate and
// normal, the enables the scenes use (texturing, alpha test, sphere-map coordinates, flat shading).
// Each glBegin/glEnd block or glDrawArrays becomes triangles in one buffer, drawn by one small
// shader that does what the fixed pipeline did with that state: modulate the texture by the colour
// (clamped to [0, 1], as the pipeline clamps it), test alpha, and generate sphere-map coordinates.
// Only the calls and modes the production makes are covered; anything else is left to WebGL.
#define MORAVEL_FIXED_GL_LAYER
#include "platform/web_gl/GL/glu.h"

#include <emscripten/html5.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

constexpr GLenum Quads = 0x0007;
constexpr GLenum Compile = 0x1300;
constexpr GLenum ModelView = 0x1700;
constexpr GLenum Projection = 0x1701;
constexpr GLenum Flat = 0x1D00;
constexpr GLenum Normalize = 0x0BA1;
constexpr GLenum AlphaTest = 0x0BC0;
constexpr GLenum TextureGenS = 0x0C60;
constexpr GLenum TextureGenT = 0x0C61;
constexpr GLenum CoordS = 0x2000;
constexpr GLenum CoordT = 0x2001;
constexpr GLenum TextureGenMode = 0x2500;
constexpr GLenum SphereMap = 0x2402;
constexpr GLenum VertexArray = 0x8074;
constexpr GLenum TextureCoordArray = 0x8078;
constexpr GLenum Never = 0x0200;

using Matrix = std::array<float, 16>;  // column-major, as OpenGL keeps it

constexpr Matrix Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix out{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[column * 4 + k];
            out[column * 4 + row] = sum;
        }
    return out;
}

// One vertex as the shader takes it: position, colour, texture coordinate, normal.
struct Vertex {
    float Position[3];
    float Color[4];
    float TexCoord[2];
    float Normal[3];
};

const char* const VertexShader = R"(#version 300 es
in vec3 aPosition;
in vec4 aColor;
in vec2 aTexCoord;
in vec3 aNormal;
uniform mat4 uModelView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform bool uGenS;
uniform bool uGenT;
uniform bool uNormalize;
out vec4 vColor;
out vec2 vTexCoord;
void main() {
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
    vColor = clamp(aColor, 0.0, 1.0);
    vTexCoord = aTexCoord;
    if (uGenS || uGenT) {
        vec3 u = normalize(eye.xyz);
        vec3 n = uNormalMatrix * aNormal;
        if (uNormalize)
            n = normalize(n);
        vec3 r = u - 2.0 * dot(n, u) * n;
        float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
        if (uGenS)
            vTexCoord.x = r.x / m + 0.5;
        if (uGenT)
            vTexCoord.y = r.y / m + 0.5;
    }
}
)";

const char* const FragmentShader = R"(#version 300 es
precision highp float;
in vec4 vColor;
in vec2 vTexCoord;
uniform sampler2D uTexture;
uniform bool uTextured;
uniform int uAlphaFunc;
uniform float uAlphaRef;
out vec4 fragColor;
bool AlphaPasses(float a) {
    if (uAlphaFunc == 0) return false;
    if (uAlphaFunc == 1) return a < uAlphaRef;
    if (uAlphaFunc == 2) return a == uAlphaRef;
    if (uAlphaFunc == 3) return a <= uAlphaRef;
    if (uAlphaFunc == 4) return a > uAlphaRef;
    if (uAlphaFunc == 5) return a != uAlphaRef;
    if (uAlphaFunc == 6) return a >= uAlphaRef;
    return true;
}
void main() {
    vec4 color = vColor;
    if (uTextured)
        color *= texture(uTexture, vTexCoord);
    if (!AlphaPasses(color.a))
        discard;
    fragColor = color;
}
)";

struct Uniforms {
    GLint ModelView = -1, Projection = -1, NormalMatrix = -1, GenS = -1, GenT = -1, Normalize = -1;
    GLint Texture = -1, Textured = -1, AlphaFunc = -1, AlphaRef = -1;
};

struct ClientArray {
    bool Enabled = false;
    GLint Size = 0;
    GLsizei Stride = 0;
    const float* Pointer = nullptr;
};

struct State {
    bool Ready = false;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE ReadyFor = 0;  // the context the program and buffer belong to
    GLuint Program = 0, Buffer = 0, VertexArrayObject = 0;
    Uniforms Slots;

    GLenum MatrixModeNow = ModelView;
    std::vector<Matrix> ModelViewStack{Identity};
    std::vector<Matrix> ProjectionStack{Identity};

    float Color[4] = {1, 1, 1, 1};
    float TexCoord[2] = {0, 0};
    float Normal[3] = {0, 0, 1};

    bool Texturing = false, AlphaTesting = false, GenS = false, GenT = false, NormalizeOn = false;
    bool FlatShading = false;
    bool SphereS = false, SphereT = false;  // the generation modes set; only sphere maps are drawn
    GLenum AlphaFuncNow = 0x0207;           // GL_ALWAYS
    float AlphaRef = 0;

    GLuint BoundTexture = 0;
    std::map<GLuint, bool> TexturesWithPicture;  // textures whose level 0 has been given

    GLenum Mode = 0;
    bool InsideBegin = false;
    std::vector<Vertex> Primitive;  // the vertices since glBegin
    std::vector<Vertex> Triangles;  // what is drawn

    ClientArray Vertices, TexCoords;

    std::map<GLuint, std::vector<std::function<void()>>> Lists;
    GLuint NextList = 1;
    GLuint Compiling = 0;  // the list being recorded, 0 when none
};

State& Gl()
{
    static State state;
    return state;
}

// OpenGL ignores calls made without a current context (the production sizes its viewport when the
// window is made, before its context); WebGL would fail on them.
bool HasContext()
{
    return emscripten_webgl_get_current_context() != 0;
}

Matrix& Current()
{
    State& s = Gl();
    return s.MatrixModeNow == Projection ? s.ProjectionStack.back() : s.ModelViewStack.back();
}

GLuint CompileShader(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == 0) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "moravel: the WebGL shader did not compile: %s\n", log);
    }
    return shader;
}

// Made on the first draw, when the production's context is current.
void MakeReady(State& s)
{
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    if (s.Ready && s.ReadyFor == context)
        return;
    s.ReadyFor = context;
    s.Program = glCreateProgram();
    glAttachShader(s.Program, CompileShader(GL_VERTEX_SHADER, VertexShader));
    glAttachShader(s.Program, CompileShader(GL_FRAGMENT_SHADER, FragmentShader));
    glBindAttribLocation(s.Program, 0, "aPosition");
    glBindAttribLocation(s.Program, 1, "aColor");
    glBindAttribLocation(s.Program, 2, "aTexCoord");
    glBindAttribLocation(s.Program, 3, "aNormal");
    glLinkProgram(s.Program);
    Uniforms& u = s.Slots;
    u.ModelView = glGetUniformLocation(s.Program, "uModelView");
    u.Projection = glGetUniformLocation(s.Program, "uProjection");
    u.NormalMatrix = glGetUniformLocation(s.Program, "uNormalMatrix");
    u.GenS = glGetUniformLocation(s.Program, "uGenS");
    u.GenT = glGetUniformLocation(s.Program, "uGenT");
    u.Normalize = glGetUniformLocation(s.Program, "uNormalize");
    u.Texture = glGetUniformLocation(s.Program, "uTexture");
    u.Textured = glGetUniformLocation(s.Program, "uTextured");
    u.AlphaFunc = glGetUniformLocation(s.Program, "uAlphaFunc");
    u.AlphaRef = glGetUniformLocation(s.Program, "uAlphaRef");

    glGenVertexArrays(1, &s.VertexArrayObject);
    glBindVertexArray(s.VertexArrayObject);
    glGenBuffers(1, &s.Buffer);
    glBindBuffer(GL_ARRAY_BUFFER, s.Buffer);
    const GLsizei stride = sizeof(Vertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, Position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, Color)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, TexCoord)));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, Normal)));
    glUseProgram(s.Program);
    glUniform1i(u.Texture, 0);
    s.Ready = true;
}

// The inverse transpose of the model-view's upper 3 x 3, which carries normals into eye space.
std::array<float, 9> NormalMatrix(const Matrix& m)
{
    const float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    const float k = det != 0 ? 1.0f / det : 0.0f;
    // Column-major inverse transpose: column j of the result is row j of the inverse.
    return {(e * i - f * h) * k, (c * h - b * i) * k, (b * f - c * e) * k, (f * g - d * i) * k, (a * i - c * g) * k,
            (c * d - a * f) * k, (d * h - e * g) * k, (b * g - a * h) * k, (a * e - b * d) * k};
}

bool TextureUsable(const State& s)
{
    if (!s.Texturing || s.BoundTexture == 0)
        return false;
    const auto found = s.TexturesWithPicture.find(s.BoundTexture);
    return found != s.TexturesWithPicture.end() && found->second;
}

void DrawTriangles(State& s)
{
    if (s.Triangles.empty() || !HasContext()) {
        s.Triangles.clear();
        return;
    }
    MakeReady(s);
    glUseProgram(s.Program);
    glBindVertexArray(s.VertexArrayObject);
    const Uniforms& u = s.Slots;
    glUniformMatrix4fv(u.ModelView, 1, GL_FALSE, s.ModelViewStack.back().data());
    glUniformMatrix4fv(u.Projection, 1, GL_FALSE, s.ProjectionStack.back().data());
    const bool genS = s.GenS && s.SphereS;
    const bool genT = s.GenT && s.SphereT;
    if (genS || genT)
        glUniformMatrix3fv(u.NormalMatrix, 1, GL_FALSE, NormalMatrix(s.ModelViewStack.back()).data());
    glUniform1i(u.GenS, genS ? 1 : 0);
    glUniform1i(u.GenT, genT ? 1 : 0);
    glUniform1i(u.Normalize, s.NormalizeOn ? 1 : 0);
    glUniform1i(u.Textured, TextureUsable(s) ? 1 : 0);
    glUniform1i(u.AlphaFunc, s.AlphaTesting ? static_cast<GLint>(s.AlphaFuncNow - Never) : 7);
    glUniform1f(u.AlphaRef, s.AlphaRef);
    glBindBuffer(GL_ARRAY_BUFFER, s.Buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(s.Triangles.size() * sizeof(Vertex)), s.Triangles.data(),
                 GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(s.Triangles.size()));
    s.Triangles.clear();
}

// Quads and triangles as triangles. A quad is split along its 1-3 diagonal, as Mesa splits it:
// where its texture coordinates are not a parallelogram (a wobbling picture), the other diagonal
// would bend the picture differently. Flat shading gives a primitive the colour of its last
// vertex, as OpenGL does for both.
void AddPrimitives(State& s, GLenum mode, const std::vector<Vertex>& vertices)
{
    const std::size_t corners = mode == Quads ? 4 : mode == GL_TRIANGLES ? 3 : 0;
    if (corners == 0)
        return;
    for (std::size_t first = 0; first + corners <= vertices.size(); first += corners) {
        Vertex v[4];
        for (std::size_t i = 0; i < corners; ++i) {
            v[i] = vertices[first + i];
            if (s.FlatShading)
                std::copy(vertices[first + corners - 1].Color, vertices[first + corners - 1].Color + 4, v[i].Color);
        }
        if (corners == 4)
            s.Triangles.insert(s.Triangles.end(), {v[0], v[1], v[3], v[1], v[2], v[3]});
        else
            s.Triangles.insert(s.Triangles.end(), {v[0], v[1], v[2]});
    }
}

Vertex CurrentVertex(const State& s, float x, float y, float z)
{
    Vertex v{};
    v.Position[0] = x;
    v.Position[1] = y;
    v.Position[2] = z;
    std::copy(s.Color, s.Color + 4, v.Color);
    std::copy(s.TexCoord, s.TexCoord + 2, v.TexCoord);
    std::copy(s.Normal, s.Normal + 3, v.Normal);
    return v;
}

// While a list is compiled, the calls are kept to run on each glCallList, not run now.
bool Recorded(std::function<void()> call)
{
    State& s = Gl();
    if (s.Compiling == 0)
        return false;
    s.Lists[s.Compiling].push_back(std::move(call));
    return true;
}

void SetCapability(GLenum capability, bool on)
{
    State& s = Gl();
    switch (capability) {
    case GL_TEXTURE_2D:
        s.Texturing = on;
        return;
    case AlphaTest:
        s.AlphaTesting = on;
        return;
    case TextureGenS:
        s.GenS = on;
        return;
    case TextureGenT:
        s.GenT = on;
        return;
    case Normalize:
        s.NormalizeOn = on;
        return;
    default:
        if (!HasContext())
            return;
        if (on)
            glEnable(capability);
        else
            glDisable(capability);
    }
}

void MultiplyCurrent(const Matrix& m)
{
    Matrix& current = Current();
    current = Multiply(current, m);
}

}  // namespace

void FixedEnable(GLenum capability)
{
    if (!Recorded([=] { FixedEnable(capability); }))
        SetCapability(capability, true);
}

void FixedDisable(GLenum capability)
{
    if (!Recorded([=] { FixedDisable(capability); }))
        SetCapability(capability, false);
}

void FixedShadeModel(GLenum mode)
{
    if (!Recorded([=] { FixedShadeModel(mode); }))
        Gl().FlatShading = mode == Flat;
}

void FixedAlphaFunc(GLenum func, GLclampf ref)
{
    if (Recorded([=] { FixedAlphaFunc(func, ref); }))
        return;
    State& s = Gl();
    if (func >= Never && func <= Never + 7) {
        s.AlphaFuncNow = func;
        s.AlphaRef = std::fmin(1.0f, std::fmax(0.0f, ref));
    }
}

void FixedDepthFunc(GLenum func)
{
    if (!Recorded([=] { FixedDepthFunc(func); }) && HasContext())
        glDepthFunc(func);
}

void FixedBlendFunc(GLenum source, GLenum destination)
{
    if (!Recorded([=] { FixedBlendFunc(source, destination); }) && HasContext())
        glBlendFunc(source, destination);
}

void FixedClear(GLbitfield mask)
{
    if (!Recorded([=] { FixedClear(mask); }) && HasContext())
        glClear(mask);
}

void FixedClearDepth(GLclampd depth)
{
    if (!Recorded([=] { FixedClearDepth(depth); }) && HasContext())
        glClearDepthf(static_cast<float>(depth));
}

void FixedViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (!Recorded([=] { FixedViewport(x, y, width, height); }) && HasContext())
        glViewport(x, y, width, height);
}

void FixedGetIntegerv(GLenum name, GLint* values)
{
    if (HasContext())
        glGetIntegerv(name, values);
}

void FixedTexGeni(GLenum coord, GLenum name, GLint value)
{
    if (Recorded([=] { FixedTexGeni(coord, name, value); }))
        return;
    if (name != TextureGenMode)
        return;
    State& s = Gl();
    if (coord == CoordS)
        s.SphereS = value == static_cast<GLint>(SphereMap);
    else if (coord == CoordT)
        s.SphereT = value == static_cast<GLint>(SphereMap);
}

// Modulate is the only environment the production sets, and the shader's only one.
void FixedTexEnvi(GLenum, GLenum, GLint) {}

void FixedMatrixMode(GLenum mode)
{
    if (!Recorded([=] { FixedMatrixMode(mode); }))
        Gl().MatrixModeNow = mode == Projection ? Projection : ModelView;
}

void FixedLoadIdentity()
{
    if (!Recorded([] { FixedLoadIdentity(); }))
        Current() = Identity;
}

void FixedPushMatrix()
{
    if (Recorded([] { FixedPushMatrix(); }))
        return;
    State& s = Gl();
    std::vector<Matrix>& stack = s.MatrixModeNow == Projection ? s.ProjectionStack : s.ModelViewStack;
    stack.push_back(stack.back());
}

void FixedPopMatrix()
{
    if (Recorded([] { FixedPopMatrix(); }))
        return;
    State& s = Gl();
    std::vector<Matrix>& stack = s.MatrixModeNow == Projection ? s.ProjectionStack : s.ModelViewStack;
    if (stack.size() > 1)  // popping the last one is an error that changes nothing
        stack.pop_back();
}

void FixedTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (Recorded([=] { FixedTranslatef(x, y, z); }))
        return;
    Matrix m = Identity;
    m[12] = x;
    m[13] = y;
    m[14] = z;
    MultiplyCurrent(m);
}

void FixedRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (Recorded([=] { FixedRotatef(angle, x, y, z); }))
        return;
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0)
        return;
    x /= length;
    y /= length;
    z /= length;
    const float radians = angle * static_cast<float>(M_PI / 180.0);
    const float c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    const Matrix m{t * x * x + c,
                   t * x * y + s * z,
                   t * x * z - s * y,
                   0,
                   t * x * y - s * z,
                   t * y * y + c,
                   t * y * z + s * x,
                   0,
                   t * x * z + s * y,
                   t * y * z - s * x,
                   t * z * z + c,
                   0,
                   0,
                   0,
                   0,
                   1};
    MultiplyCurrent(m);
}

void FixedScalef(GLfloat x, GLfloat y, GLfloat z)
{
    if (Recorded([=] { FixedScalef(x, y, z); }))
        return;
    Matrix m = Identity;
    m[0] = x;
    m[5] = y;
    m[10] = z;
    MultiplyCurrent(m);
}

void FixedMultMatrixd(const GLdouble* values)
{
    Matrix m{};
    for (int i = 0; i < 16; ++i)
        m[i] = static_cast<float>(values[i]);
    if (!Recorded([=] { MultiplyCurrent(m); }))
        MultiplyCurrent(m);
}

void FixedBegin(GLenum mode)
{
    if (Recorded([=] { FixedBegin(mode); }))
        return;
    State& s = Gl();
    s.Mode = mode;
    s.InsideBegin = true;
    s.Primitive.clear();
}

void FixedEnd()
{
    if (Recorded([] { FixedEnd(); }))
        return;
    State& s = Gl();
    if (!s.InsideBegin)
        return;
    s.InsideBegin = false;
    AddPrimitives(s, s.Mode, s.Primitive);
    DrawTriangles(s);
}

void FixedVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (Recorded([=] { FixedVertex3f(x, y, z); }))
        return;
    State& s = Gl();
    if (s.InsideBegin)
        s.Primitive.push_back(CurrentVertex(s, x, y, z));
}

void FixedVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    FixedVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void FixedTexCoord2f(GLfloat s, GLfloat t)
{
    if (Recorded([=] { FixedTexCoord2f(s, t); }))
        return;
    Gl().TexCoord[0] = s;
    Gl().TexCoord[1] = t;
}

void FixedTexCoord2d(GLdouble s, GLdouble t)
{
    FixedTexCoord2f(static_cast<float>(s), static_cast<float>(t));
}

void FixedTexCoord2i(GLint s, GLint t)
{
    FixedTexCoord2f(static_cast<float>(s), static_cast<float>(t));
}

void FixedColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    if (Recorded([=] { FixedColor4f(r, g, b, a); }))
        return;
    float* c = Gl().Color;
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
}

void FixedColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    FixedColor4f(r, g, b, 1.0f);
}

void FixedNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (Recorded([=] { FixedNormal3f(x, y, z); }))
        return;
    float* n = Gl().Normal;
    n[0] = x;
    n[1] = y;
    n[2] = z;
}

void FixedNormal3fv(const GLfloat* v)
{
    FixedNormal3f(v[0], v[1], v[2]);
}

void FixedEnableClientState(GLenum array)
{
    State& s = Gl();
    if (array == VertexArray)
        s.Vertices.Enabled = true;
    else if (array == TextureCoordArray)
        s.TexCoords.Enabled = true;
}

void FixedDisableClientState(GLenum array)
{
    State& s = Gl();
    if (array == VertexArray)
        s.Vertices.Enabled = false;
    else if (array == TextureCoordArray)
        s.TexCoords.Enabled = false;
}

// Float arrays only, as the production gives them; the pointer is read when the arrays are drawn.
void FixedVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    if (type == GL_FLOAT)
        Gl().Vertices = {Gl().Vertices.Enabled, size, stride, static_cast<const float*>(pointer)};
}

void FixedTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    if (type == GL_FLOAT)
        Gl().TexCoords = {Gl().TexCoords.Enabled, size, stride, static_cast<const float*>(pointer)};
}

namespace {

const float* Element(const ClientArray& array, GLint index)
{
    const std::size_t step = array.Stride != 0 ? static_cast<std::size_t>(array.Stride)
                                               : static_cast<std::size_t>(array.Size) * sizeof(float);
    return reinterpret_cast<const float*>(reinterpret_cast<const std::uint8_t*>(array.Pointer) + step * index);
}

}  // namespace

void FixedDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    State& s = Gl();
    if (!s.Vertices.Enabled || s.Vertices.Pointer == nullptr || s.Vertices.Size < 2 || count <= 0)
        return;
    std::vector<Vertex> vertices;
    vertices.reserve(static_cast<std::size_t>(count));
    const bool textured = s.TexCoords.Enabled && s.TexCoords.Pointer != nullptr;
    for (GLint i = first; i < first + count; ++i) {
        const float* p = Element(s.Vertices, i);
        Vertex v = CurrentVertex(s, p[0], p[1], s.Vertices.Size > 2 ? p[2] : 0.0f);
        if (textured) {
            const float* t = Element(s.TexCoords, i);
            v.TexCoord[0] = t[0];
            v.TexCoord[1] = s.TexCoords.Size > 1 ? t[1] : 0.0f;
        }
        vertices.push_back(v);
    }
    AddPrimitives(s, mode, vertices);
    DrawTriangles(s);
}

GLuint FixedGenLists(GLsizei range)
{
    State& s = Gl();
    if (range <= 0)
        return 0;
    const GLuint first = s.NextList;
    s.NextList += static_cast<GLuint>(range);
    return first;
}

void FixedNewList(GLuint list, GLenum mode)
{
    State& s = Gl();
    if (list == 0 || mode != Compile || s.Compiling != 0)
        return;
    s.Lists[list].clear();
    s.Compiling = list;
}

void FixedEndList()
{
    Gl().Compiling = 0;
}

void FixedCallList(GLuint list)
{
    if (Recorded([=] { FixedCallList(list); }))
        return;
    const auto found = Gl().Lists.find(list);
    if (found == Gl().Lists.end())
        return;
    for (const std::function<void()>& call : found->second)
        call();
}

void FixedGenTextures(GLsizei n, GLuint* textures)
{
    if (HasContext())
        glGenTextures(n, textures);
}

void FixedBindTexture(GLenum target, GLuint texture)
{
    if (Recorded([=] { FixedBindTexture(target, texture); }))
        return;
    if (!HasContext())
        return;
    glBindTexture(target, texture);
    if (target == GL_TEXTURE_2D)
        Gl().BoundTexture = texture;
}

void FixedTexParameteri(GLenum target, GLenum name, GLint value)
{
    if (HasContext())
        glTexParameteri(target, name, value);
}

void FixedPixelStorei(GLenum name, GLint value)
{
    if (HasContext())
        glPixelStorei(name, value);
}

// OpenGL 1.1 takes a component count (3, 4) for the internal format; WebGL wants the format's name.
void FixedTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                     GLenum format, GLenum type, const void* pixels)
{
    if (!HasContext())
        return;
    const GLint internal = internalFormat == 3 ? GL_RGB : internalFormat == 4 ? GL_RGBA : internalFormat;
    glTexImage2D(target, level, internal, width, height, border, format, type, pixels);
    State& s = Gl();
    if (target == GL_TEXTURE_2D && level == 0 && s.BoundTexture != 0)
        s.TexturesWithPicture[s.BoundTexture] = width > 0 && height > 0;
}

// As GLU builds it, bar the rescaling of sides that are not powers of two (WebGL 2 takes those as
// they are; the production's pictures have none). The levels below are WebGL's own.
GLint FixedBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                          GLenum type, const void* data)
{
    if (width < 1 || height < 1)
        return GL_INVALID_VALUE;
    if (!HasContext())
        return GL_INVALID_OPERATION;
    FixedTexImage2D(target, 0, internalFormat, width, height, 0, format, type, data);
    glGenerateMipmap(target);
    return 0;
}

// GLU's perspective matrix, worked out in double as GLU does, multiplied in as floats.
void FixedPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2 * M_PI / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0)
        return;
    const double cotangent = std::cos(radians) / sine;
    GLdouble m[16] = {};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    FixedMultMatrixd(m);
}

// The counting build of the frame benchmark: the production's drawing calls go through these wrappers
// (linked with -Wl,--wrap), which count vertices and triangles per primitive, per array draw and per
// display list, and an occlusion query counts the fragments each frame writes.
#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <map>

#include "bench/frame_counts.h"

namespace {

FrameCounts Frame;
std::map<GLuint, FrameCounts> ListCounts;  // what each compiled display list draws when called
GLuint CompilingList = 0;
bool ExecutingList = true;  // false while a list is compiled without being drawn
GLenum PrimitiveMode = GL_POINTS;
std::uint64_t PrimitiveVertices = 0;

PFNGLGENQUERIESPROC GenQueries = nullptr;
PFNGLBEGINQUERYPROC BeginQuery = nullptr;
PFNGLENDQUERYPROC EndQuery = nullptr;
PFNGLGETQUERYOBJECTUI64VPROC GetQueryResult = nullptr;
GLuint FragmentQuery = 0;
bool QueryRunning = false;

std::uint64_t TrianglesOf(GLenum mode, std::uint64_t n)
{
    switch (mode) {
    case GL_TRIANGLES:
        return n / 3;
    case GL_QUADS:
        return n / 4 * 2;
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        return n >= 3 ? n - 2 : 0;
    case GL_QUAD_STRIP:
        return n >= 4 ? (n - 2) / 2 * 2 : 0;
    default:
        return 0;
    }
}

void Add(FrameCounts& to, const FrameCounts& what)
{
    to.Triangles += what.Triangles;
    to.Vertices += what.Vertices;
    to.Clears += what.Clears;
}

void Record(const FrameCounts& what)
{
    if (CompilingList != 0)
        Add(ListCounts[CompilingList], what);
    if (ExecutingList)
        Add(Frame, what);
}

}  // namespace

extern "C" {
void __real_glBegin(GLenum mode);
void __real_glEnd();
void __real_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void __real_glVertex3d(GLdouble x, GLdouble y, GLdouble z);
void __real_glNewList(GLuint list, GLenum mode);
void __real_glEndList();
void __real_glCallList(GLuint list);
void __real_glClear(GLbitfield mask);
void __real_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void __real_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

void __wrap_glBegin(GLenum mode)
{
    PrimitiveMode = mode;
    PrimitiveVertices = 0;
    __real_glBegin(mode);
}

void __wrap_glEnd()
{
    FrameCounts primitive;
    primitive.Vertices = PrimitiveVertices;
    primitive.Triangles = TrianglesOf(PrimitiveMode, PrimitiveVertices);
    Record(primitive);
    __real_glEnd();
}

void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    ++PrimitiveVertices;
    __real_glVertex3f(x, y, z);
}

void __wrap_glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    ++PrimitiveVertices;
    __real_glVertex3d(x, y, z);
}

// A draw from vertex arrays is a whole primitive at once.
void RecordArrayDraw(GLenum mode, GLsizei count)
{
    FrameCounts primitive;
    primitive.Vertices = static_cast<std::uint64_t>(count);
    primitive.Triangles = TrianglesOf(mode, primitive.Vertices);
    Record(primitive);
}

void __wrap_glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    RecordArrayDraw(mode, count);
    __real_glDrawArrays(mode, first, count);
}

void __wrap_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    RecordArrayDraw(mode, count);
    __real_glDrawElements(mode, count, type, indices);
}

void __wrap_glNewList(GLuint list, GLenum mode)
{
    CompilingList = list;
    ExecutingList = mode == GL_COMPILE_AND_EXECUTE;
    ListCounts[list] = {};
    __real_glNewList(list, mode);
}

void __wrap_glEndList()
{
    CompilingList = 0;
    ExecutingList = true;
    __real_glEndList();
}

void __wrap_glCallList(GLuint list)
{
    const auto found = ListCounts.find(list);
    if (found != ListCounts.end())
        Record(found->second);
    __real_glCallList(list);
}

void __wrap_glClear(GLbitfield mask)
{
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) {
        FrameCounts clear;
        clear.Clears = 1;
        Record(clear);
    }
    __real_glClear(mask);
}
}

bool CountingBuild()
{
    return true;
}

void StartCounting()
{
    GenQueries = reinterpret_cast<PFNGLGENQUERIESPROC>(eglGetProcAddress("glGenQueries"));
    BeginQuery = reinterpret_cast<PFNGLBEGINQUERYPROC>(eglGetProcAddress("glBeginQuery"));
    EndQuery = reinterpret_cast<PFNGLENDQUERYPROC>(eglGetProcAddress("glEndQuery"));
    GetQueryResult = reinterpret_cast<PFNGLGETQUERYOBJECTUI64VPROC>(eglGetProcAddress("glGetQueryObjectui64v"));
    if (GenQueries == nullptr || BeginQuery == nullptr || EndQuery == nullptr || GetQueryResult == nullptr)
        return;
    GenQueries(1, &FragmentQuery);
    BeginQuery(GL_SAMPLES_PASSED, FragmentQuery);
    QueryRunning = true;
    Frame = {};
}

FrameCounts TakeFrameCounts()
{
    FrameCounts done = Frame;
    Frame = {};
    if (QueryRunning) {
        EndQuery(GL_SAMPLES_PASSED);
        GLuint64 samples = 0;
        GetQueryResult(FragmentQuery, GL_QUERY_RESULT, &samples);
        done.Fragments = samples;
        BeginQuery(GL_SAMPLES_PASSED, FragmentQuery);
    }
    return done;
}

void StopCounting()
{
    if (!QueryRunning)
        return;
    EndQuery(GL_SAMPLES_PASSED);
    QueryRunning = false;
}

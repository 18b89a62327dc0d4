// The OpenGL 1.1 calls the production makes, for the web build: WebGL has no fixed-function
// pipeline, so each name below is taken by the layer in platform/web_gl.cpp, which draws the same
// picture with WebGL 2 (shaders, buffers). Types and the enums WebGL shares come from its header.
#pragma once

#include <GLES3/gl3.h>

using GLdouble = double;
using GLclampd = double;

#define GL_QUADS 0x0007
#define GL_COMPILE 0x1300
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_FLAT 0x1D00
#define GL_SMOOTH 0x1D01
#define GL_NORMALIZE 0x0BA1
#define GL_ALPHA_TEST 0x0BC0
#define GL_TEXTURE_GEN_S 0x0C60
#define GL_TEXTURE_GEN_T 0x0C61
#define GL_S 0x2000
#define GL_T 0x2001
#define GL_MODULATE 0x2100
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_TEXTURE_ENV 0x2300
#define GL_SPHERE_MAP 0x2402
#define GL_TEXTURE_GEN_MODE 0x2500
#define GL_VERTEX_ARRAY 0x8074
#define GL_TEXTURE_COORD_ARRAY 0x8078

// State.
void FixedEnable(GLenum capability);
void FixedDisable(GLenum capability);
void FixedShadeModel(GLenum mode);
void FixedAlphaFunc(GLenum func, GLclampf ref);
void FixedDepthFunc(GLenum func);
void FixedBlendFunc(GLenum source, GLenum destination);
void FixedClear(GLbitfield mask);
void FixedClearDepth(GLclampd depth);
void FixedViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void FixedGetIntegerv(GLenum name, GLint* values);
void FixedTexGeni(GLenum coord, GLenum name, GLint value);
void FixedTexEnvi(GLenum target, GLenum name, GLint value);

// Matrices.
void FixedMatrixMode(GLenum mode);
void FixedLoadIdentity();
void FixedPushMatrix();
void FixedPopMatrix();
void FixedTranslatef(GLfloat x, GLfloat y, GLfloat z);
void FixedRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void FixedScalef(GLfloat x, GLfloat y, GLfloat z);
void FixedMultMatrixd(const GLdouble* m);

// Immediate mode.
void FixedBegin(GLenum mode);
void FixedEnd();
void FixedVertex3f(GLfloat x, GLfloat y, GLfloat z);
void FixedVertex3d(GLdouble x, GLdouble y, GLdouble z);
void FixedTexCoord2f(GLfloat s, GLfloat t);
void FixedTexCoord2d(GLdouble s, GLdouble t);
void FixedTexCoord2i(GLint s, GLint t);
void FixedColor3f(GLfloat r, GLfloat g, GLfloat b);
void FixedColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void FixedNormal3f(GLfloat x, GLfloat y, GLfloat z);
void FixedNormal3fv(const GLfloat* v);

// Vertex arrays.
void FixedEnableClientState(GLenum array);
void FixedDisableClientState(GLenum array);
void FixedVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void FixedTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void FixedDrawArrays(GLenum mode, GLint first, GLsizei count);

// Display lists.
GLuint FixedGenLists(GLsizei range);
void FixedNewList(GLuint list, GLenum mode);
void FixedEndList();
void FixedCallList(GLuint list);

// Textures.
void FixedGenTextures(GLsizei n, GLuint* textures);
void FixedBindTexture(GLenum target, GLuint texture);
void FixedTexParameteri(GLenum target, GLenum name, GLint value);
void FixedPixelStorei(GLenum name, GLint value);
void FixedTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                     GLenum format, GLenum type, const void* pixels);

// The layer itself calls WebGL by these names and leaves them as they are.
#ifndef MORAVEL_FIXED_GL_LAYER
#define glEnable FixedEnable
#define glDisable FixedDisable
#define glShadeModel FixedShadeModel
#define glAlphaFunc FixedAlphaFunc
#define glDepthFunc FixedDepthFunc
#define glBlendFunc FixedBlendFunc
#define glClear FixedClear
#define glClearDepth FixedClearDepth
#define glViewport FixedViewport
#define glGetIntegerv FixedGetIntegerv
#define glTexGeni FixedTexGeni
#define glTexEnvi FixedTexEnvi
#define glMatrixMode FixedMatrixMode
#define glLoadIdentity FixedLoadIdentity
#define glPushMatrix FixedPushMatrix
#define glPopMatrix FixedPopMatrix
#define glTranslatef FixedTranslatef
#define glRotatef FixedRotatef
#define glScalef FixedScalef
#define glMultMatrixd FixedMultMatrixd
#define glBegin FixedBegin
#define glEnd FixedEnd
#define glVertex3f FixedVertex3f
#define glVertex3d FixedVertex3d
#define glTexCoord2f FixedTexCoord2f
#define glTexCoord2d FixedTexCoord2d
#define glTexCoord2i FixedTexCoord2i
#define glColor3f FixedColor3f
#define glColor4f FixedColor4f
#define glNormal3f FixedNormal3f
#define glNormal3fv FixedNormal3fv
#define glEnableClientState FixedEnableClientState
#define glDisableClientState FixedDisableClientState
#define glVertexPointer FixedVertexPointer
#define glTexCoordPointer FixedTexCoordPointer
#define glDrawArrays FixedDrawArrays
#define glGenLists FixedGenLists
#define glNewList FixedNewList
#define glEndList FixedEndList
#define glCallList FixedCallList
#define glGenTextures FixedGenTextures
#define glBindTexture FixedBindTexture
#define glTexParameteri FixedTexParameteri
#define glPixelStorei FixedPixelStorei
#define glTexImage2D FixedTexImage2D
#endif

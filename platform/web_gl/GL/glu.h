// The two GLU calls the production makes, for the web build (see gl.h beside this file).
#pragma once

#include <GL/gl.h>

void FixedPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
GLint FixedBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                          GLenum type, const void* data);

#ifndef MORAVEL_FIXED_GL_LAYER
#define gluPerspective FixedPerspective
#define gluBuild2DMipmaps FixedBuild2DMipmaps
#endif

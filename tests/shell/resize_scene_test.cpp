// ResizeScene on real Mesa: the viewport and the projection it leaves, read back from OpenGL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "platform/headless.h"
#include "shell/window.h"

namespace {

void ExpectViewport(int x, int y, int width, int height)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], x);
    EXPECT_EQ(viewport[1], y);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
}

// A 45-degree perspective with the given aspect, near 1 and far 100.
void ExpectProjection(double aspect)
{
    GLdouble m[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(m[0], f / aspect, 1e-5);
    EXPECT_NEAR(m[5], f, 1e-5);
    EXPECT_NEAR(m[10], -101.0 / 99.0, 1e-5);
    EXPECT_NEAR(m[14], -200.0 / 99.0, 1e-5);
    EXPECT_NEAR(m[11], -1.0, 1e-9);
}

}  // namespace

TEST(ResizeSceneTest, FitsViewportAndProjectionToTheClientAndTakesHeightZeroAsOne)
{
    ASSERT_TRUE(HeadlessCreateContext(640, 480));
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1.0f, 2.0f, 3.0f);

    ResizeScene(640, 480);
    ExpectViewport(0, 0, 640, 480);
    ExpectProjection(640.0 / 480.0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLdouble modelView[16] = {};
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(modelView[12], 0.0);  // reset to the identity

    ResizeScene(300, 0);  // a minimised window
    ExpectViewport(0, 0, 300, 1);
    ExpectProjection(300.0);
    HeadlessDestroyContext();
}

// The start-up sequence: the render state every scene starts from, the timeline's tables, the first loading.
#include "shell/init_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "effects/cube_star.h"
#include "effects/model_meshes.h"
#include "platform/platform.h"
#include "shell/master.h"
#include "textures/catalogue.h"
#include "textures/point_model.h"
#include "timeline/draw_frame.h"

// The picture band on the 640 x 480 screen: 50 rows below it, 70 above, 10 columns to its right.
static constexpr GLint BandX = 0;
static constexpr GLint BandY = 50;
static constexpr GLsizei BandWidth = 630;
static constexpr GLsizei BandHeight = 360;

static void SetRenderState()
{
    glColor4f(2.0f, 1.0f, 1.0f, 0.5f);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.4f);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// The projection keeps 4:3 although the band is 7:4, so the picture is stretched sideways.
// The model-view matrix stays the identity ResizeScene left.
static void SetProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 600.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
}

// Only the viewport follows the render scale (a capture's, a larger player's); everything else is
// in picture units. A fractional scale rounds each edge, so the band keeps its place in the picture.
static GLint Scaled(GLint units, double scale)
{
    return static_cast<GLint>(std::lround(units * scale));
}

static void SetViewport()
{
    const double scale = SysRenderScale();
    const GLint left = Scaled(BandX, scale);
    const GLint bottom = Scaled(BandY, scale);
    glViewport(left, bottom, Scaled(BandX + BandWidth, scale) - left, Scaled(BandY + BandHeight, scale) - bottom);
}

// The demo cannot run without its meshes; the reader has already said what was wrong.
static void LoadPointModels()
{
    if (!LoadPointModel("data\\rozgwiazda.txt", ModelRozgwiazda))
        AbortRun(1);
    if (!LoadPointModel("data\\roza.txt", ModelRoza))
        AbortRun(1);
    BuildModelMeshes();
}

void InitScene()
{
    SetRenderState();
    SetProjection();
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_NORMALIZE);
    Clock.Loading = LoadState::SecondBatchPending;
    BuildCubeList();
    SetViewport();
    // Scenes switch generation itself on and off; only the mode is set here.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    ResetSceneState();
    LoadTextureBatch1();
    LoadPointModels();
}

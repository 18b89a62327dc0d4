// The scene schedule: 62 rows of time window and action, walked in order every frame.
#include "timeline/schedule.h"

#include <GL/gl.h>

#include "effects/cube_star.h"
#include "effects/model_meshes.h"
#include "effects/pictures.h"
#include "effects/spinners.h"
#include "effects/wide_angle_cube.h"
#include "timeline/logo_overlay.h"
#include "timeline/spinning_box.h"
#include "timeline/twin_tubes.h"
#include "timeline/wobble_picture.h"

using enum ScheduleAction;

// Fades are steps of 100 ms or 50 ms from one row to the next. Later rows draw over earlier ones.
const ScheduleRow Schedule[ScheduleRowCount] = {
    // The inside of the tlo3.jpg cube fading in, then the logo layers over it.
    {0, 100, WideAngleCube, nullptr, {0.1}},
    {100, 200, WideAngleCube, nullptr, {0.2}},
    {200, 300, WideAngleCube, nullptr, {0.3}},
    {300, 400, WideAngleCube, nullptr, {0.4}},
    {400, 500, WideAngleCube, nullptr, {0.5}},
    {500, 600, WideAngleCube, nullptr, {0.6}},
    {600, 700, WideAngleCube, nullptr, {0.7}},
    {700, 800, WideAngleCube, nullptr, {0.8}},
    {800, 900, WideAngleCube, nullptr, {0.9}},
    {900, 18000, WideAngleCube, nullptr, {1.0}},
    {12000, 18000, LogoOverlay, nullptr, {1}},
    {15000, 18000, LogoOverlay, nullptr, {2}},
    {16550, 18000, LogoOverlay, nullptr, {3}},

    // The spinning box, the cube star from 20 s.
    {18000, 32000, SpinningBox, nullptr, {}},
    {20000, 32000, CubeStar, &TextureSlots::Hdr, {-7.0}},

    // The wobbling picture with a spinner pair, each credit first far, then near.
    {32000, 44000, WobblePicture, nullptr, {30, 10, -50, -8}},
    {33000, 33500, BlendedPanel, &TextureSlots::CrTavrel, {-6.5}},
    {33500, 34500, BlendedPanel, &TextureSlots::CrTavrel, {-4.2}},
    {34500, 35000, BlendedPanel, &TextureSlots::CrQuimbrel, {-6.5}},
    {35000, 36000, BlendedPanel, &TextureSlots::CrQuimbrel, {-4.2}},
    {36000, 36500, BlendedPanel, &TextureSlots::CrDunvo, {-6.5}},
    {36500, 37500, BlendedPanel, &TextureSlots::CrDunvo, {-4.2}},
    {37500, 38000, BlendedPanel, &TextureSlots::CrFenwisp, {-6.5}},
    {38000, 39000, BlendedPanel, &TextureSlots::CrFenwisp, {-4.2}},
    {39000, 39500, BlendedPanel, &TextureSlots::CrPlo, {-6.5}},
    {39500, 40500, BlendedPanel, &TextureSlots::CrPlo, {-4.2}},
    {40500, 41000, BlendedPanel, &TextureSlots::CrKirrage, {-6.5}},
    {41000, 42000, BlendedPanel, &TextureSlots::CrKirrage, {-4.2}},

    // The backdrop slides out to the left, 0.2 every 50 ms.
    {44000, 44050, SlidingBackdrop, nullptr, {-0.2}},
    {44050, 44100, SlidingBackdrop, nullptr, {-0.4}},
    {44100, 44150, SlidingBackdrop, nullptr, {-0.6}},
    {44150, 44200, SlidingBackdrop, nullptr, {-0.8}},
    {44200, 44250, SlidingBackdrop, nullptr, {-1.0}},
    {44250, 44300, SlidingBackdrop, nullptr, {-1.2}},
    {44300, 44350, SlidingBackdrop, nullptr, {-1.4}},
    {44350, 44400, SlidingBackdrop, nullptr, {-1.6}},
    {44400, 44450, SlidingBackdrop, nullptr, {-1.8}},
    {44450, 44500, SlidingBackdrop, nullptr, {-2.0}},
    {44500, 44550, SlidingBackdrop, nullptr, {-2.2}},
    {44550, 44600, SlidingBackdrop, nullptr, {-2.4}},
    {44600, 44650, SlidingBackdrop, nullptr, {-2.6}},
    {44650, 44700, SlidingBackdrop, nullptr, {-2.8}},
    {44700, 44750, SlidingBackdrop, nullptr, {-3.0}},

    // Spinners on black, then the violet one with three flashes of mk.jpg.
    {44750, 49500, SpinnerPair, nullptr, {30, 10, -50, -8}},
    {49500, 59500, TintedSpinner, nullptr, {30, 10}},
    {49500, 59500, TintedSpinner, nullptr, {-50, -8}},
    {49700, 50700, PictureInOut, &TextureSlots::Mk, {49700, 50700}},
    {52000, 53000, PictureInOut, &TextureSlots::Mk, {52000, 53000}},
    {54000, 55000, PictureInOut, &TextureSlots::Mk, {54000, 55000}},

    // The twin tubes, then the roza.txt model in four colours with the second credits.
    {55500, 69000, TwinTubes, nullptr, {}},
    {69000, 72000, RozaScene, nullptr, {1.0, 1.0, 1.0}},
    {72000, 75000, RozaScene, nullptr, {1.0, 0.7, 0.3}},
    {75000, 78000, RozaScene, nullptr, {0.0, 0.8, 1.0}},
    {78000, 81000, RozaScene, nullptr, {1.0, 1.0, 1.0}},
    {81000, 90000, RozaScene, nullptr, {1.0, 1.0, 1.0}},
    {81000, 82500, BlendedPanel, &TextureSlots::Codework, {-4.2}},
    {82500, 84000, BlendedPanel, &TextureSlots::Glimber, {-4.2}},
    {84000, 85500, BlendedPanel, &TextureSlots::Gfx, {-4.2}},
    {85500, 87000, BlendedPanel, &TextureSlots::Yast, {-4.2}},
    {87000, 88500, BlendedPanel, &TextureSlots::Msx, {-4.2}},
    {88500, 90000, BlendedPanel, &TextureSlots::Brund, {-4.2}},

    // The end picture.
    {90000, 121050, EndPicture, &TextureSlots::Ende, {90000.0, 121000.0}},
};

bool IsRowActive(const ScheduleRow& row, std::int32_t t)
{
    return row.Lower < t && t < row.Upper;
}

static GLuint RowTexture(const ScheduleRow& row)
{
    return row.Texture != nullptr ? Textures.*row.Texture : 0;
}

static std::int32_t WholeArg(const ScheduleRow& row, int i)
{
    return static_cast<std::int32_t>(row.Arg[i]);
}

static void DrawSpinnerPair(const ScheduleRow& row, std::int32_t t)
{
    DrawSpinner(t, WholeArg(row, 0), WholeArg(row, 1));
    DrawSpinner(t, WholeArg(row, 2), WholeArg(row, 3));
}

void PerformRow(const ScheduleRow& row, std::int32_t t, SceneState& scenes)
{
    switch (row.Action) {
    case WideAngleCube:
        DrawWideAngleCube(row.Arg[0], StepAveragedAngle(scenes.PrevDemoTime, t));
        break;
    case LogoOverlay:
        DrawLogoOverlay(WholeArg(row, 0), t);
        break;
    case SpinningBox:
        DrawSpinningBox(StepAveragedAngle(scenes.PrevDemoTime, t));
        break;
    case CubeStar:
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, static_cast<float>(row.Arg[0]));
        glBindTexture(GL_TEXTURE_2D, RowTexture(row));
        DrawCubeStar(t);
        break;
    case WobblePicture:
        DrawWobblePicture(scenes.Wobble);
        DrawSpinnerPair(row, t);
        break;
    case BlendedPanel:
        DrawBlendedPanel(RowTexture(row), row.Arg[0]);
        break;
    case SlidingBackdrop:
        DrawSlidingBackdrop(t, row.Arg[0]);
        break;
    case SpinnerPair:
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        DrawSpinnerPair(row, t);
        break;
    case TintedSpinner:
        DrawTintedSpinner(t, WholeArg(row, 0), WholeArg(row, 1));
        break;
    case PictureInOut:
        ShowPictureInOut(t, WholeArg(row, 0), WholeArg(row, 1), RowTexture(row));
        break;
    case TwinTubes:
        DrawTwinTubes(scenes.Rings, t);
        break;
    case RozaScene:
        DrawRozaScene(t, row.Arg[0], row.Arg[1], row.Arg[2]);
        break;
    case EndPicture:
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ShowPictureIn(t, RowTexture(row), row.Arg[0], row.Arg[1]);
        break;
    }
}

void RunSchedule(std::int32_t t, SceneState& scenes)
{
    for (const ScheduleRow& row : Schedule) {
        if (IsRowActive(row, t))
            PerformRow(row, t, scenes);
    }
}

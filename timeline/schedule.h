// The scene schedule: 62 rows of time window and action, walked in order every frame.
#pragma once

#include <cstdint>

#include "textures/catalogue.h"
#include "timeline/scene_state.h"

// What a row does. The arguments it takes from its row are listed with each.
enum class ScheduleAction {
    WideAngleCube,    // DrawWideAngleCube (brightness Arg[0]), one step of the averaged angle
    LogoOverlay,      // DrawLogoOverlay (pass Arg[0])
    SpinningBox,      // DrawSpinningBox, one step of the averaged angle
    CubeStar,         // identity, step Arg[0] along Z, bind Texture, DrawCubeStar (T)
    WobblePicture,    // DrawWobblePicture, then the spinners (Arg[0], Arg[1]) and (Arg[2], Arg[3])
    BlendedPanel,     // DrawBlendedPanel (Texture, depth Arg[0])
    SlidingBackdrop,  // DrawSlidingBackdrop (offset Arg[0])
    SpinnerPair,      // clear, identity, the spinners (Arg[0], Arg[1]) and (Arg[2], Arg[3])
    TintedSpinner,    // DrawTintedSpinner (tilt Arg[0], spin Arg[1])
    PictureInOut,     // ShowPictureInOut (start Arg[0], stop Arg[1], Texture)
    TwinTubes,        // DrawTwinTubes
    RozaScene,        // DrawRozaScene (red Arg[0], green Arg[1], blue Arg[2])
    EndPicture,       // clear, ShowPictureIn (Texture, start Arg[0], stop Arg[1])
};

struct ScheduleRow {
    std::int32_t Lower;  // the row acts when Lower < T < Upper: both bounds exclusive
    std::int32_t Upper;
    ScheduleAction Action;
    GLuint TextureSlots::*Texture;  // a texture slot, read when the row acts (slots fill while loading)
    double Arg[4];                  // the renderer's numbers, whole ones exact
};

constexpr int ScheduleRowCount = 62;
extern const ScheduleRow Schedule[ScheduleRowCount];  // the production's running order, drawing order within a frame

bool IsRowActive(const ScheduleRow& row, std::int32_t t);
// Does what the row says, for demo time t, with the scenes' state of the run.
void PerformRow(const ScheduleRow& row, std::int32_t t, SceneState& scenes);
// Every active row in list order; a time no row covers draws and clears nothing.
void RunSchedule(std::int32_t t, SceneState& scenes);

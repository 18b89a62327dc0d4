// The frame function the frame loop calls once per drawn frame, and the scenes' state it keeps.
#pragma once

#include <cstdint>

#include "timeline/scene_state.h"

// Draws the schedule's rows for demo time t; a time no row covers draws and clears nothing.
void DrawFrame(std::int32_t t);

// The run's scene state, as DrawFrame hands it on from frame to frame.
const SceneState& CurrentSceneState();
// Puts the scene state back to the start of a run (start-up does; tests run the production twice).
void ResetSceneState();

// What the scenes carry from one frame to the next, in one place: the frame function hands each
// scene its part, and one reset puts it all back to the start of a run.
#pragma once

#include <cstdint>

#include "timeline/twin_tubes.h"
#include "timeline/wobble_picture.h"

struct SceneState {
    std::int32_t PrevDemoTime = 0;  // the averaged angle's last step: the opening cube, the spinning box
    WobblePhases Wobble;            // the wobbling picture's corner phases
    TwinTubeRings Rings;            // the twin tubes' rings, the previous frame's and this one's
};

// The frame function the frame loop calls once per drawn frame.
#include "timeline/draw_frame.h"

#include "shell/master.h"
#include "textures/catalogue.h"
#include "timeline/schedule.h"
#include "timeline/twin_tubes.h"
#include "timeline/wobble_picture.h"

void DrawFrame()
{
    switch (LoadState) {
    case 0:
        // Loading takes the frame: nothing is drawn or cleared, and the clock starts after it.
        LoadTextureBatch2();
        break;
    case 2:
        RunSchedule(DemoTime);
        break;
    default:
        break;
    }
}

void ResetTimelineState()
{
    for (double& phase : WobblePhase)
        phase = 0.0;
    for (float& shift : RingShift)
        shift = 0.0f;
}

// The frame function and the one scene state of a run.
#include "timeline/draw_frame.h"

#include "timeline/schedule.h"

static SceneState RunScenes;

void DrawFrame(std::int32_t t)
{
    RunSchedule(t, RunScenes);
}

const SceneState& CurrentSceneState()
{
    return RunScenes;
}

void ResetSceneState()
{
    RunScenes = SceneState{};
}

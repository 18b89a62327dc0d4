// The frame function the frame loop calls once per drawn frame.
#pragma once

// The first frame loads the second texture batch and draws nothing; once the clock runs,
// every frame draws the schedule's rows for the demo time.
void DrawFrame();

// Puts the timeline's animation state back to its start (for running the production twice
// in one process): the wobble phases and the ring shifts.
void ResetTimelineState();

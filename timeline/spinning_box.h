// The spinning kreski.jpg box seen from inside, with tlo_ach.jpg added over it (18 s to 32 s).
#pragma once

// Clears, draws the box turned by angle (StepAveragedAngle) and adds the background over it.
// Leaves additive blending on and the depth test off for the cube star drawn after it.
void DrawSpinningBox(float angle);

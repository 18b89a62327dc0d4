// The textured square the logo layers and the box scene's background are drawn with.
#pragma once

// One quad in the plane z = 1, 2 x 2 units, normal (0, 0, 1), the texture upright.
void DrawUnitFrontQuad();

// The unit squares several scenes draw: the front face of the unit cube, and its back face,
// which seen from the eye shows its picture mirrored left to right.
#pragma once

void DrawUnitFrontQuad();
void DrawUnitBackQuad();

// Render-state initialisation, the scenes' state at the start of a run, and the first loading.
#pragma once

void InitScene();

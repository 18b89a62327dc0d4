// MORAVEL_BENCH_PATHS=old runs a benchmark on the paths the production first took: meshes sent one
// corner at a time, textures read, decoded and mipmapped in place on the main thread. The pictures
// are the same; the runner sets both kinds side by side in one table.
#pragma once

// Applies the variable; returns the name of the paths taken ("old" or "new").
const char* ChooseBenchPaths();

// The switch between the production's old and new paths; see bench_paths.h.
#include "bench/bench_paths.h"

#include <cstdlib>
#include <cstring>

#include "effects/mesh_path.h"
#include "textures/textures.h"

const char* ChooseBenchPaths()
{
    const char* paths = std::getenv("MORAVEL_BENCH_PATHS");
    if (paths == nullptr || std::strcmp(paths, "old") != 0)
        return "new";
    SetMeshPath(MeshPath::Immediate);
    SetTextureLoading(TextureLoading::Serial);
    return "old";
}

// The switch between the two ways of sending meshes; see mesh_path.h.
#include "effects/mesh_path.h"

static MeshPath Path = MeshPath::Arrays;

void SetMeshPath(MeshPath path)
{
    Path = path;
}

MeshPath CurrentMeshPath()
{
    return Path;
}

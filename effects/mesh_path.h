// How the meshes reach OpenGL: vertex arrays (the default), or one glVertex call per corner inside
// glBegin/glEnd as the production first drew them. Both give the same pixels; the benchmarks switch
// to the old way to set the two side by side.
#pragma once

enum class MeshPath { Arrays, Immediate };

void SetMeshPath(MeshPath path);
MeshPath CurrentMeshPath();

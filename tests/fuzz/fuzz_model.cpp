// libFuzzer target: the point-model reader on arbitrary bytes must refuse or accept, never reach past its arrays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "textures/point_model.h"

// Static, like the production's models: far too large for the stack.
static PointModel FuzzedModel;

// A corner inside the arrays: a vertex that was read, or an entry past those that is still zero,
// the origin.
static bool IsCorner(std::int32_t index)
{
    if (index < 0 || index >= MaxModelItems)
        return false;
    return index < FuzzedModel.VertexCount ||
           (FuzzedModel.VertexX[index] == 0 && FuzzedModel.VertexY[index] == 0 && FuzzedModel.VertexZ[index] == 0);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    if (!ParsePointModel(data, size, FuzzedModel, error)) {
        // Every refusal names its line.
        if (error.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    // An accepted model is one the renderer can draw without looking: counts within the arrays,
    // every corner inside them, at a vertex that was read or at the origin.
    if (FuzzedModel.VertexCount < 1 || FuzzedModel.VertexCount > MaxModelItems || FuzzedModel.TriangleCount < 1 ||
        FuzzedModel.TriangleCount > MaxModelItems)
        std::abort();
    for (std::int32_t j = 0; j < FuzzedModel.TriangleCount; ++j)
        if (!IsCorner(FuzzedModel.TriangleA[j]) || !IsCorner(FuzzedModel.TriangleB[j]) ||
            !IsCorner(FuzzedModel.TriangleC[j]))
            std::abort();
    return 0;
}

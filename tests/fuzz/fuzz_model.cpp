// libFuzzer target: the point-model reader on arbitrary bytes must refuse or accept, never reach past its arrays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "textures/point_model.h"

// Static, like the production's models: far too large for the stack.
static PointModel FuzzedModel;

static bool IsVertex(std::int32_t index)
{
    return index >= 0 && index < FuzzedModel.VertexCount;
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
    // every corner a vertex that was read.
    if (FuzzedModel.VertexCount < 1 || FuzzedModel.VertexCount > MaxModelItems || FuzzedModel.TriangleCount < 1 ||
        FuzzedModel.TriangleCount > MaxModelItems)
        std::abort();
    for (std::int32_t j = 0; j < FuzzedModel.TriangleCount; ++j)
        if (!IsVertex(FuzzedModel.TriangleA[j]) || !IsVertex(FuzzedModel.TriangleB[j]) ||
            !IsVertex(FuzzedModel.TriangleC[j]))
            std::abort();
    return 0;
}

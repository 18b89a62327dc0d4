// moravel-inspect model: a model file's counts and the box its vertices span, through the demo's own reader.
#include <algorithm>
#include <cstdio>

#include "textures/point_model.h"
#include "tools/inspect/inspect.h"

// Too large for the stack, like the demo's own two models.
static PointModel InspectedModel;

int InspectModel(int argc, char** argv)
{
    if (argc != 1) {
        std::fprintf(stderr,
                     "moravel-inspect: model takes FILE, not %d argument%s\nusage: moravel-inspect model FILE\n", argc,
                     argc == 1 ? "" : "s");
        return 2;
    }
    if (!CheckInputFile(argv[0]))
        return 1;
    // The reader shows its own message (on stderr here) naming the line and what was wrong.
    if (!LoadPointModel(argv[0], InspectedModel))
        return 1;

    const PointModel& model = InspectedModel;
    const int count = model.VertexCount;
    std::printf("vertices %d triangles %d\n", count, model.TriangleCount);
    std::printf("x %g .. %g\n", *std::min_element(model.VertexX, model.VertexX + count),
                *std::max_element(model.VertexX, model.VertexX + count));
    std::printf("y %g .. %g\n", *std::min_element(model.VertexY, model.VertexY + count),
                *std::max_element(model.VertexY, model.VertexY + count));
    std::printf("z %g .. %g\n", *std::min_element(model.VertexZ, model.VertexZ + count),
                *std::max_element(model.VertexZ, model.VertexZ + count));
    return 0;
}

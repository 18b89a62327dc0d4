// moravel-inspect: looks at the production's data through the production's own readers.
#include <cstdio>
#include <cstring>

#include "tools/inspect/inspect.h"

static int PrintUsage()
{
    std::fprintf(stderr,
                 "usage: moravel-inspect texture FILE OUT.png\n"
                 "       moravel-inspect model FILE\n");
    return 2;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return PrintUsage();
    if (std::strcmp(argv[1], "texture") == 0)
        return InspectTexture(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "model") == 0)
        return InspectModel(argc - 2, argv + 2);
    return PrintUsage();
}

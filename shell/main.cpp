// The demo executable: the player's options, then the production as written.
#include <cstdio>

#include "shell/master.h"
#include "shell/player.h"
#include "shell/player_options.h"

int main(int argc, char** argv)
{
    PlayerOptions options;
    std::string error;
    if (!ParsePlayerOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "moravel: %s\n%s", error.c_str(), PlayerUsage);
        return 2;
    }
    if (options.Help) {
        std::fputs(PlayerUsage, stdout);
        return 0;
    }
    if (options.Version) {
        std::printf("moravel (Moravel) %s\n", MORAVEL_VERSION);
        return 0;
    }
    if (!SysSetPresentation(options.Presentation)) {
        std::fprintf(stderr,
                     "moravel: this build plays only as the demo was written: --window, --desktop and "
                     "--vsync are not available\n");
        return 2;
    }
    SetLooping(options.Loop);
    return ProgramEntry();
}

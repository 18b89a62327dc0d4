// The player's command line: how the picture is shown, looping, help and version. The run without
// options is the production as written.
#pragma once

#include <string>

#include "platform/platform.h"

struct PlayerOptions {
    SysPresentation Presentation;
    bool Loop = false;
    bool Help = false;
    bool Version = false;
};

extern const char* PlayerUsage;

// False, with the reason in error, for an unknown option, a bad value or options that do not go
// together. Help and Version end the scan: the caller prints and exits.
bool ParsePlayerOptions(int argc, char** argv, PlayerOptions& options, std::string& error);

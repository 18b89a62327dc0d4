// What the page's address asks of the demo, as a command line (see web_main.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct WebOptions {
    SysPresentation Presentation;       // --desktop fills the page
    bool Loop = false;                  // --loop
    int VirtualFps = 0;                 // --fps N: the virtual clock, silent; 0: the real clock
    std::vector<std::int32_t> AtTimes;  // --at MS,...: frames handed to the page, ascending
};

// False with the reason for an unknown word or a bad value.
bool ParseWebOptions(int argc, char** argv, WebOptions& options, std::string& error);

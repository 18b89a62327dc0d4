// Subcommands of moravel-inspect; each returns the process exit code.
#pragma once

int InspectTexture(int argc, char** argv);  // texture FILE OUT.png
int InspectModel(int argc, char** argv);    // model FILE

// Far above any real picture or model; a larger file is refused before a reader sees it.
constexpr unsigned long long MaxInputBytes = 256ull << 20;
// False, after saying why, when path is something other than a regular file or is larger than
// MaxInputBytes. A missing file passes: the reader reports it in the production's own words.
bool CheckInputFile(const char* path);

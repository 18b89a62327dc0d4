// Subcommands of moravel-inspect; each returns the process exit code.
#pragma once

int InspectTexture(int argc, char** argv);  // texture FILE OUT.png
int InspectModel(int argc, char** argv);    // model FILE

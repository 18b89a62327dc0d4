// The threads of this process besides the calling one, as the system lists them: what the backends
// check as the program ends, when every thread it started must have been joined.
#pragma once

#include <string>
#include <vector>

// "NAME (TID)" for every other thread still running, in the order /proc/self/task lists them; a
// thread that is only finishing its exit (one just joined) is given a quarter of a second to go.
std::vector<std::string> PosixOtherThreads();

// Names the threads still running on stderr, in one line under the program's name ("moravel: 2
// threads still run as the program ends: ..."); nothing when there are none. True when none run.
bool PosixReportThreadsLeft();

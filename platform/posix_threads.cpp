// Listing the process' threads from /proc; see posix_threads.h.
#include "platform/posix_threads.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>  // program_invocation_short_name
#include <cstdio>
#include <fstream>

std::vector<std::string> PosixOtherThreads()
{
    std::vector<std::string> threads;
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr)
        return threads;
    const std::string self = std::to_string(static_cast<long>(syscall(SYS_gettid)));
    while (const dirent* entry = readdir(tasks)) {
        const std::string tid = entry->d_name;
        if (tid.empty() || tid[0] == '.' || tid == self)
            continue;
        std::ifstream comm("/proc/self/task/" + tid + "/comm");
        std::string name;
        // A thread that ended between the listing and the read is gone: not counted.
        if (!std::getline(comm, name))
            continue;
        threads.push_back(name + " (" + tid + ")");
    }
    closedir(tasks);
    return threads;
}

bool PosixReportThreadsLeft()
{
    const std::vector<std::string> threads = PosixOtherThreads();
    if (threads.empty())
        return true;
    std::string names;
    for (const std::string& thread : threads)
        names += (names.empty() ? "" : ", ") + thread;
    std::fprintf(stderr, "%s: %zu thread%s still run%s as the program ends: %s\n", program_invocation_short_name,
                 threads.size(), threads.size() == 1 ? "" : "s", threads.size() == 1 ? "s" : "", names.c_str());
    return false;
}

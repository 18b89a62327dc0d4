// The real clock shared by the Linux backends.
#include "platform/posix_clock.h"

#include <time.h>

std::uint32_t PosixTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

void PosixSleep(std::uint32_t ms)
{
    timespec delay{};
    delay.tv_sec = ms / 1000;
    delay.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    while (nanosleep(&delay, &delay) != 0) {
    }
}

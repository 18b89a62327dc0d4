// The real clock shared by the Linux backends: monotonic milliseconds, wrapping at 2^32.
#pragma once

#include <cstdint>

std::uint32_t PosixTickCount();
void PosixSleep(std::uint32_t ms);

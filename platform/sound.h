// The sound library the production calls: six calls, one backend linked per executable.
#pragma once

#include <cstdint>

#include "platform/platform.h"

using HStream = std::uint32_t;

std::uint32_t BASS_GetVersion();
bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t flags, SysWindow window, const void* classId);
bool BASS_Start();
HStream BASS_StreamCreateFile(bool fromMemory, const char* file, std::uint64_t offset, std::uint64_t length,
                              std::uint32_t flags);
bool BASS_StreamPlay(HStream stream, bool flush, std::uint32_t flags);
bool BASS_Free();

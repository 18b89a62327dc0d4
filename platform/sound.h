// The sound library the production calls: six calls, one backend linked per executable, two of the
// port's own that let the music follow the demo clock after a stall, and one that pauses it for the player.
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

// How far into the stream the output device has played, in ms. -1 while the stream does not play:
// before BASS_StreamPlay and until the device has taken some of it, after its last sample, after
// BASS_Free, and on a backend without a device.
double SoundGetStreamPosition(HStream stream);
// Moves the playing stream to ms from its start; playing goes on from there. A position past the
// end ends the stream. False, and nothing moves, when the stream does not play.
bool SoundSetStreamPosition(HStream stream, std::int32_t ms);
// Holds the playing stream where it is (pause) or lets it go on from there; the position reads -1
// while it is held. False when the stream does not play.
bool SoundPauseStream(HStream stream, bool pause);

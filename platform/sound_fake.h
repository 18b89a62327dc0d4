// Controls of the fake sound backend: scripted version and failures; every call goes into the
// fake platform's call record (FakeCalls) in order with the window calls.
#pragma once

#include <cstdint>

// Back to a library that reports version 2, initialises, and opens any file as stream 1.
void FakeSoundReset();
// The value BASS_GetVersion reports from now on.
void FakeSoundSetVersion(std::uint32_t version);
// BASS_Init fails (returns false) from now on.
void FakeSoundFailInit();
// BASS_StreamCreateFile returns 0 from now on, as for a missing or broken file.
void FakeSoundFailStream();
// The position the stream reports while it plays (from BASS_StreamPlay until it ends or is freed);
// -1, the library's "none", until a test sets one. A move sets it to where the stream was moved.
void FakeSoundSetPosition(double ms);
// The playing stream reaches its end: from now on it reports no position and cannot be moved.
void FakeSoundEndStream();

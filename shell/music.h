// The music: the stream opened at start-up and the flag that lets the frame loop start it.
#pragma once

#include "platform/sound.h"

constexpr const char* MusicFile = "data\\muza_demo.ogg";
constexpr std::uint32_t RequiredSoundVersion = 2;

extern HStream MusicStream;  // the music stream, 0 while none; SetUpSound writes it
extern bool MusicReady;      // true once the stream exists; SetUpSound writes it

// The sound set-up at the end of CreateMainWindow. The run goes on silent after any failure,
// so the result is always true.
bool SetUpSound();

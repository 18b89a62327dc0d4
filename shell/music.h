// The music: the stream opened at start-up and the flag that lets the frame loop start it.
#pragma once

#include "platform/sound.h"

constexpr const char* MusicFile = "data\\muza_demo.ogg";
constexpr std::uint32_t RequiredSoundVersion = 2;
// How far the music may stray from DemoTime before it is moved back to it, in ms.
constexpr double MusicDriftLimitMs = 80.0;

// The music stream: SetUpSound opens it; the frame loop starts it, the entry frees it.
struct MusicState {
    HStream Stream = 0;  // 0 while none
    bool Ready = false;  // true once the stream exists
};

extern MusicState Music;

// The sound set-up at the end of CreateMainWindow. The run goes on silent after any failure,
// so the result is always true.
bool SetUpSound();
// Once per drawn frame after the clock step: while the demo runs and the music plays, moves the
// music to DemoTime when the two are more than MusicDriftLimitMs apart, once DemoTime has caught up
// with the raw clock after a jump. The clock is never touched:
// after a stall (a stopped process, a suspended machine) or a sound device that falls behind, the
// music catches up with the picture.
void KeepMusicInStep();

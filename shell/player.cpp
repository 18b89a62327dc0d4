// Looping and pausing around the frame loop.
#include "shell/player.h"

#include "platform/sound.h"
#include "shell/master.h"
#include "shell/music.h"
#include "timeline/draw_frame.h"

static bool LoopWanted = false;
static bool PauseOn = false;
static std::uint32_t PausedAtTick = 0;

void SetLooping(bool loop)
{
    LoopWanted = loop;
}

bool Looping()
{
    return LoopWanted;
}

bool Paused()
{
    return PauseOn;
}

// The raw clock counts from StartTick: moving StartTick on by the time spent paused takes that time
// out, so the demo time goes on from where it stood and no scene jumps.
void TogglePause()
{
    if (Clock.Loading != LoadState::Running)
        return;
    const std::uint32_t now = SysGetTickCount();
    PauseOn = !PauseOn;
    if (PauseOn)
        PausedAtTick = now;
    else
        Clock.StartTick += now - PausedAtTick;
    if (Music.Ready)
        SoundPauseStream(Music.Stream, PauseOn);
}

void RestartRun()
{
    ResetSceneState();
    Clock.DemoTime = 0;
    Clock.Loading = LoadState::Loaded;
}

void ResetPlayerState()
{
    LoopWanted = false;
    PauseOn = false;
    PausedAtTick = 0;
}

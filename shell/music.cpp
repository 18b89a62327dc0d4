// The music: opened at the end of window creation; the frame loop starts it and frees it.
#include "shell/music.h"

#include <algorithm>
#include <cmath>

#include "shell/master.h"
#include "shell/window.h"

MusicState Music;

// The raw clock at the previous check and the length of the frame before, in ms.
static std::uint32_t PreviousRawTime = 0;
static std::int64_t PreviousFrameMs = 0;
// How far past two frames DemoTime may trail the raw clock and still count as settled.
static constexpr std::int64_t SettledSlackMs = 10;

static constexpr const char* SoundCaption = "Sound";
static constexpr int SoundDevice = 1;  // the system's default output
static constexpr std::uint32_t SoundFrequency = 44100;

static void ReportSoundFailure(const char* text)
{
    SysMessageBox(text, SoundCaption, MbIconError);
}

bool SetUpSound()
{
    PreviousRawTime = 0;
    PreviousFrameMs = 0;
    Music = MusicState{};
    // The demo is worth watching without its music: after each failure it goes on silent.
    if (BASS_GetVersion() != RequiredSoundVersion) {
        ReportSoundFailure("BASS version 2.0 Sound System was not loaded");
        return true;
    }
    if (!BASS_Init(SoundDevice, SoundFrequency, 0, MainWindow.Window, nullptr)) {
        ReportSoundFailure("Can't initialize digital sound system");
        return true;
    }
    BASS_Start();
    Music.Stream = BASS_StreamCreateFile(false, MusicFile, 0, 0, 0);
    if (Music.Stream == 0) {
        ReportSoundFailure("Can't create digital sound stream. Music file might be missing");
        return true;
    }
    Music.Ready = true;
    return true;
}

void KeepMusicInStep()
{
    const std::uint32_t raw = SysGetTickCount() - Clock.StartTick;
    // The shorter of the last two frames: the one a stall fell into says nothing of the frame rate.
    const std::int64_t thisFrameMs = static_cast<std::int64_t>(raw) - PreviousRawTime;
    const std::int64_t frameMs = std::min(thisFrameMs, PreviousFrameMs);
    PreviousRawTime = raw;
    PreviousFrameMs = thisFrameMs;
    if (Clock.Loading != LoadState::Running || !Music.Ready)
        return;
    // After a stall DemoTime closes the gap to the raw clock by half each frame, a few frames in all.
    // Music moved to it on the way would be left behind by what is still to close; it waits for the
    // clock to settle instead. Settled, DemoTime is behind the raw clock by about one frame.
    const std::int64_t catchingUp = static_cast<std::int64_t>(raw) - Clock.DemoTime;
    if (catchingUp > 2 * frameMs + SettledSlackMs)
        return;
    const double position = SoundGetStreamPosition(Music.Stream);
    if (position < 0.0)
        return;  // not started yet, or over
    if (std::abs(position - Clock.DemoTime) > MusicDriftLimitMs)
        SoundSetStreamPosition(Music.Stream, Clock.DemoTime);
}

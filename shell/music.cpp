// The music: opened at the end of window creation; the frame loop starts it and frees it.
#include "shell/music.h"

#include "shell/window.h"

HStream MusicStream = 0;
bool MusicReady = false;

static constexpr const char* SoundCaption = "Sound";
static constexpr int SoundDevice = 1;  // the system's default output
static constexpr std::uint32_t SoundFrequency = 44100;

static void ReportSoundFailure(const char* text)
{
    SysMessageBox(text, SoundCaption, MbIconError);
}

bool SetUpSound()
{
    MusicStream = 0;
    MusicReady = false;
    // The demo is worth watching without its music: after each failure it goes on silent.
    if (BASS_GetVersion() != RequiredSoundVersion) {
        ReportSoundFailure("BASS version 2.0 Sound System was not loaded");
        return true;
    }
    if (!BASS_Init(SoundDevice, SoundFrequency, 0, MainWindow, nullptr)) {
        ReportSoundFailure("Can't initialize digital sound system");
        return true;
    }
    BASS_Start();
    MusicStream = BASS_StreamCreateFile(false, MusicFile, 0, 0, 0);
    if (MusicStream == 0) {
        ReportSoundFailure("Can't create digital sound stream. Music file might be missing");
        return true;
    }
    MusicReady = true;
    return true;
}

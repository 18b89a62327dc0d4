// The sound library over SDL2_mixer: the music plays on SDL's audio thread, decoded by libvorbisfile.
//
// Supports: the default output device (device 1), streams opened from a whole file and played once
// (from where the time since the play call has got to when the device takes the first buffer of
// them), the playing position and moving it. Does not support: streams from memory or from part of
// a file, other devices, looping. There is no silent fallback: without a sound device BASS_Init fails.
#include <SDL.h>
#include <SDL_mixer.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sound.h"

// Version 2.0: major in the low word, minor in the high word.
static constexpr std::uint32_t SoundVersion = 2;
static constexpr int DefaultOutputDevice = 1;
// Frames per device buffer, 23.2 ms at 44.1 kHz: the step in which the position moves and a move
// or the start takes effect, and large enough not to run dry on a loaded machine.
static constexpr int DeviceBufferFrames = 1024;
static constexpr int OutputChannels = 2;

static bool AudioOpen = false;
// Streams by handle - 1.
static std::vector<Mix_Music*> Streams;

// The playing position. After each mix the audio thread notes which stretch of the music the buffer
// it handed the device holds and when; between mixes the position moves on with the clock, at most
// to the end of that buffer. A move is only asked for here: the audio thread carries it out right
// after its next mix, so no buffer is ever counted on the wrong side of it.
static std::mutex MixRecordLock;
static HStream PlayingStream = 0;             // the stream last started; the production's thread only
static std::uint64_t BufferStartFrame = 0;    // music frame the latest buffer starts with
static std::uint64_t BufferFrames = 0;        // music frames in it; 0 before the first mix
static std::uint64_t BufferMicroseconds = 0;  // when it was handed over
static Mix_Music* StartAsked = nullptr;       // the music BASS_StreamPlay asked for, until it starts
static std::uint64_t StartAskedMicroseconds = 0;
static bool MoveAsked = false;
static double MoveToMs = 0.0;  // where the picture was when the move was asked
static std::uint64_t MoveAskedMicroseconds = 0;
static int MixFrequency = 44100;
// The player's pause, carried out by the audio thread after its next mix like a start or a move.
static std::atomic<bool> PauseAsked{false};

static std::uint64_t MonotonicMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

// The production starts its clock, then the music; the device takes the music with its next buffer,
// up to one buffer later. So that the music's first sample meets the clock, the music starts here,
// right after a mix: the device takes its next buffer one buffer length from now, and the music
// starts where the clock will be by then. Deciding it at the mix, not in BASS_StreamPlay, leaves no
// room for a mix in between. The record counts from there: should the device come late, the
// position shows the music that much behind the clock.
static void StartMusicAsked(Mix_Music* music, std::uint64_t now, std::uint64_t frames)
{
    const double sinceAskedMs = static_cast<double>(now - StartAskedMicroseconds) / 1000.0;
    const double startMs = sinceAskedMs + static_cast<double>(frames) * 1000.0 / MixFrequency;
    std::uint64_t startFrame = static_cast<std::uint64_t>(startMs * MixFrequency / 1000.0);
    // Half a frame more, so the decoder's rounding down of the time lands on startFrame itself.
    if (Mix_FadeInMusicPos(music, 0, 0, (static_cast<double>(startFrame) + 0.5) / MixFrequency) != 0) {
        startFrame = 0;  // it could not seek: from the first sample, as the mixer plays it by itself
        Mix_PlayMusic(music, 0);
    }
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    BufferStartFrame = startFrame;
}

// Pauses or resumes the music as the player asked. While it is held, the buffers hold none of it:
// the record ends with the last buffer that did, and the position reads -1 until the music goes on
// from there. True while it is held.
static bool HoldWhilePaused()
{
    const bool pause = PauseAsked.load();
    if (pause != (Mix_PausedMusic() != 0)) {
        if (pause)
            Mix_PauseMusic();
        else
            Mix_ResumeMusic();
    }
    if (!pause)
        return false;
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    BufferStartFrame += BufferFrames;
    BufferFrames = 0;
    return true;
}

// Runs on the audio thread after every mix, inside the mixer's lock; once the music plays, each
// buffer holds the music from where the one before ended.
static void RecordMix(void*, Uint8*, int length)
{
    const std::uint64_t frames = static_cast<std::uint64_t>(length) / (OutputChannels * sizeof(Sint16));
    const std::uint64_t now = MonotonicMicroseconds();
    Mix_Music* startNow = nullptr;
    {
        const std::lock_guard<std::mutex> hold(MixRecordLock);
        std::swap(startNow, StartAsked);
    }
    if (startNow != nullptr) {
        StartMusicAsked(startNow, now, frames);
        return;
    }
    if (!Mix_PlayingMusic())
        return;
    if (HoldWhilePaused())
        return;
    double targetMs = -1.0;
    {
        const std::lock_guard<std::mutex> hold(MixRecordLock);
        BufferStartFrame += BufferFrames;
        BufferFrames = frames;
        BufferMicroseconds = now;
        if (MoveAsked) {
            // This buffer still holds the music from before the move and plays until its length from
            // now; the next one starts where the picture will be by then.
            MoveAsked = false;
            targetMs = MoveToMs + static_cast<double>(now - MoveAskedMicroseconds) / 1000.0 +
                       static_cast<double>(frames) * 1000.0 / MixFrequency;
        }
    }
    if (targetMs < 0.0)
        return;
    const auto targetFrame = static_cast<std::uint64_t>(targetMs * MixFrequency / 1000.0);
    // Half a frame more, so the decoder's rounding down of the time lands on targetFrame itself.
    if (targetFrame < frames || Mix_SetMusicPosition((static_cast<double>(targetFrame) + 0.5) / MixFrequency) != 0)
        return;  // it could not move: the record goes on as before and the production may ask again
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    BufferStartFrame = targetFrame - frames;
}

// The music's playing position in ms at the given monotonic time, -1 when it does not play. Asks the
// mixer before taking the record's lock: the audio thread holds the mixer's lock while it takes the
// record's, so the other order could deadlock.
static double SoundMusicPositionMs(std::uint64_t nowMicroseconds)
{
    const bool playing = AudioOpen && PlayingStream != 0 && Mix_PlayingMusic();
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    if (!playing || StartAsked != nullptr || BufferFrames == 0)
        return -1.0;  // the device has taken none of it yet
    if (MoveAsked)
        return MoveToMs + (static_cast<double>(nowMicroseconds) - static_cast<double>(MoveAskedMicroseconds)) / 1000.0;
    const double bufferMs = BufferFrames * 1000.0 / MixFrequency;
    const double sinceMs = (static_cast<double>(nowMicroseconds) - static_cast<double>(BufferMicroseconds)) / 1000.0;
    return BufferStartFrame * 1000.0 / MixFrequency + std::clamp(sinceMs, 0.0, bufferMs);
}

double SoundGetStreamPosition(HStream stream)
{
    if (stream == 0 || stream != PlayingStream)
        return -1.0;
    return SoundMusicPositionMs(MonotonicMicroseconds());
}

bool SoundPauseStream(HStream stream, bool pause)
{
    if (!AudioOpen || stream == 0 || stream != PlayingStream)
        return false;
    PauseAsked = pause;
    return true;
}

bool SoundSetStreamPosition(HStream stream, std::int32_t ms)
{
    if (!AudioOpen || stream == 0 || stream != PlayingStream || ms < 0 || !Mix_PlayingMusic())
        return false;
    const double lengthMs = Mix_MusicDuration(Streams[stream - 1]) * 1000.0;
    if (lengthMs > 0.0 && ms >= lengthMs) {
        Mix_HaltMusic();
        return true;
    }
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    MoveAsked = true;
    MoveToMs = ms;
    MoveAskedMicroseconds = MonotonicMicroseconds();
    return true;
}

std::uint32_t BASS_GetVersion()
{
    return SoundVersion;
}

bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t, SysWindow, const void*)
{
    if (AudioOpen || device != DefaultOutputDevice || frequency == 0)
        return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "sound: no audio driver: %s\n", SDL_GetError());
        return false;
    }
    // Signed 16-bit in the machine's byte order is what libvorbisfile hands over, so at 44100 Hz
    // stereo the mixer passes the decoded samples to the device unchanged.
    if (Mix_OpenAudio(static_cast<int>(frequency), AUDIO_S16SYS, OutputChannels, DeviceBufferFrames) != 0) {
        std::fprintf(stderr, "sound: cannot open the output device: %s\n", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    // Loads the Ogg decoder now; should it be missing, opening the stream fails and says so.
    Mix_Init(MIX_INIT_OGG);
    AudioOpen = true;
    PlayingStream = 0;
    int openedFrequency = 0;
    Uint16 format = 0;
    int channels = 0;
    MixFrequency =
        Mix_QuerySpec(&openedFrequency, &format, &channels) != 0 ? openedFrequency : static_cast<int>(frequency);
    Mix_SetPostMix(RecordMix, nullptr);
    return true;
}

// The device runs from BASS_Init on, mixing silence until a stream plays.
bool BASS_Start()
{
    return AudioOpen;
}

HStream BASS_StreamCreateFile(bool fromMemory, const char* file, std::uint64_t offset, std::uint64_t length,
                              std::uint32_t)
{
    if (!AudioOpen || fromMemory || file == nullptr || offset != 0 || length != 0)
        return 0;
    const std::string path = SysNativePath(file);
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (music == nullptr) {
        std::fprintf(stderr, "sound: cannot open %s: %s\n", file, Mix_GetError());
        return 0;
    }
    Streams.push_back(music);
    return static_cast<HStream>(Streams.size());
}

bool BASS_StreamPlay(HStream stream, bool, std::uint32_t)
{
    if (!AudioOpen || stream == 0 || stream > Streams.size())
        return false;
    // The audio thread starts it after its next mix. Nothing is mixed for the music until then, so
    // the record starts clean. No loops: once through.
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    StartAsked = Streams[stream - 1];
    StartAskedMicroseconds = MonotonicMicroseconds();
    BufferStartFrame = BufferFrames = 0;
    MoveAsked = false;
    PauseAsked = false;
    PlayingStream = stream;
    return true;
}

bool BASS_Free()
{
    if (!AudioOpen)
        return false;
    // No mix runs once the callback is gone, so no music asked for can start after this.
    Mix_SetPostMix(nullptr, nullptr);
    {
        const std::lock_guard<std::mutex> hold(MixRecordLock);
        StartAsked = nullptr;
    }
    Mix_HaltMusic();
    for (Mix_Music* music : Streams)
        Mix_FreeMusic(music);
    Streams.clear();
    PlayingStream = 0;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioOpen = false;
    return true;
}

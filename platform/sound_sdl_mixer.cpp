// The sound library over SDL2_mixer: the music plays on SDL's audio thread, decoded by libvorbisfile.
//
// Supports: the default output device (device 1), streams opened from a whole file and played once
// from the start. Does not support: streams from memory or from part of a file, other devices,
// looping, pausing. There is no silent fallback: without a sound device BASS_Init fails.
#include <SDL.h>
#include <SDL_mixer.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sound.h"

// Version 2.0: major in the low word, minor in the high word.
static constexpr std::uint32_t SoundVersion = 2;
static constexpr int DefaultOutputDevice = 1;
// Frames per device buffer: small, so the music is at most about 23 ms late against the picture.
static constexpr int DeviceBufferFrames = 1024;
static constexpr int OutputChannels = 2;

static bool AudioOpen = false;
// Streams by handle - 1.
static std::vector<Mix_Music*> Streams;

// The sync trace (MORAVEL_SYNC_TRACE set, off otherwise): after each mix, how much music the device
// has been handed and when, so the benchmarks can tell the playing position between the 23 ms steps.
static std::mutex MixRecordLock;
static std::uint64_t MusicFramesBefore = 0;   // music frames in the buffers before the latest one
static std::uint64_t LatestMusicFrames = 0;   // music frames in the latest buffer
static std::uint64_t LatestMixMicroseconds = 0;
static int MixFrequency = 44100;

static std::uint64_t MonotonicMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

// Runs on the audio thread after every mix; the music fills a buffer from its start once it plays.
static void RecordMix(void*, Uint8*, int length)
{
    if (!Mix_PlayingMusic())
        return;
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    MusicFramesBefore += LatestMusicFrames;
    LatestMusicFrames = static_cast<std::uint64_t>(length) / (OutputChannels * sizeof(Sint16));
    LatestMixMicroseconds = MonotonicMicroseconds();
}

// The music's playing position in ms at the given monotonic time: the start of the latest buffer plus
// the time since it was handed over, at most its length; 0 while it plays before the first mix, -1 when
// it does not play. Asks the mixer before taking the record's lock: the audio thread takes them the
// other way round.
double SoundMusicPositionMs(std::uint64_t nowMicroseconds)
{
    const bool playing = AudioOpen && Mix_PlayingMusic();
    const std::lock_guard<std::mutex> hold(MixRecordLock);
    if (LatestMusicFrames == 0)
        return playing ? 0.0 : -1.0;
    const double bufferMs = LatestMusicFrames * 1000.0 / MixFrequency;
    const double sinceMs = (static_cast<double>(nowMicroseconds) - static_cast<double>(LatestMixMicroseconds)) / 1000.0;
    return MusicFramesBefore * 1000.0 / MixFrequency + std::clamp(sinceMs, 0.0, bufferMs);
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
    MusicFramesBefore = LatestMusicFrames = 0;
    MixFrequency = static_cast<int>(frequency);
    const char* trace = std::getenv("MORAVEL_SYNC_TRACE");
    if (trace != nullptr && *trace != '\0')
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
    // No loops: once through, and always from the first sample.
    return Mix_PlayMusic(Streams[stream - 1], 0) == 0;
}

bool BASS_Free()
{
    if (!AudioOpen)
        return false;
    Mix_HaltMusic();
    Mix_SetPostMix(nullptr, nullptr);
    for (Mix_Music* music : Streams)
        Mix_FreeMusic(music);
    Streams.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioOpen = false;
    return true;
}

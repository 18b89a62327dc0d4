// The sound library for unit tests: no device, results scripted by the test, each call recorded
// among the window calls as "BASS_Init 1 44100 0", "BASS_StreamPlay 1 0 0", "BASS_Free",
// "SoundSetStreamPosition 1 5000". Reading the position is not recorded: the loop does it every frame.
#include "platform/sound_fake.h"

#include <string>

#include "platform/fake.h"
#include "platform/sound.h"

static std::uint32_t Version = 2;
static bool InitFails = false;
static bool StreamFails = false;
static bool Initialised = false;
static HStream LastStream = 0;
static HStream PlayingStream = 0;
static double Position = -1.0;  // what the playing stream reports

void FakeSoundReset()
{
    Version = 2;
    InitFails = false;
    StreamFails = false;
    Initialised = false;
    LastStream = 0;
    PlayingStream = 0;
    Position = -1.0;
}

void FakeSoundSetVersion(std::uint32_t version)
{
    Version = version;
}

void FakeSoundFailInit()
{
    InitFails = true;
}

void FakeSoundFailStream()
{
    StreamFails = true;
}

void FakeSoundSetPosition(double ms)
{
    Position = ms;
}

void FakeSoundEndStream()
{
    PlayingStream = 0;
}

std::uint32_t BASS_GetVersion()
{
    FakeRecordCall("BASS_GetVersion");
    return Version;
}

bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t flags, SysWindow, const void*)
{
    FakeRecordCall("BASS_Init " + std::to_string(device) + " " + std::to_string(frequency) + " " +
                   std::to_string(flags));
    if (InitFails || Initialised)
        return false;
    Initialised = true;
    return true;
}

bool BASS_Start()
{
    FakeRecordCall("BASS_Start");
    return Initialised;
}

HStream BASS_StreamCreateFile(bool fromMemory, const char* file, std::uint64_t offset, std::uint64_t length,
                              std::uint32_t flags)
{
    FakeRecordCall("BASS_StreamCreateFile " + std::to_string(fromMemory ? 1 : 0) + " " +
                   std::string(file != nullptr ? file : "(null)") + " " + std::to_string(offset) + " " +
                   std::to_string(length) + " " + std::to_string(flags));
    if (StreamFails || !Initialised)
        return 0;
    return ++LastStream;
}

bool BASS_StreamPlay(HStream stream, bool flush, std::uint32_t flags)
{
    FakeRecordCall("BASS_StreamPlay " + std::to_string(stream) + " " + std::to_string(flush ? 1 : 0) + " " +
                   std::to_string(flags));
    if (!Initialised || stream == 0 || stream > LastStream)
        return false;
    PlayingStream = stream;
    return true;
}

double SoundGetStreamPosition(HStream stream)
{
    return stream != 0 && stream == PlayingStream ? Position : -1.0;
}

bool SoundSetStreamPosition(HStream stream, std::int32_t ms)
{
    FakeRecordCall("SoundSetStreamPosition " + std::to_string(stream) + " " + std::to_string(ms));
    if (stream == 0 || stream != PlayingStream)
        return false;
    Position = ms;
    return true;
}

bool SoundPauseStream(HStream stream, bool pause)
{
    FakeRecordCall("SoundPauseStream " + std::to_string(stream) + (pause ? " pause" : " resume"));
    return stream != 0 && stream == PlayingStream;
}

bool BASS_Free()
{
    FakeRecordCall("BASS_Free");
    const bool wasInitialised = Initialised;
    Initialised = false;
    LastStream = 0;
    PlayingStream = 0;
    return wasInitialised;
}

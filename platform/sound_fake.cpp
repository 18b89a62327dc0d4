// The sound library for unit tests: no device, results scripted by the test, each call recorded
// among the window calls as "BASS_Init 1 44100 0", "BASS_StreamPlay 1 0 0", "BASS_Free".
#include "platform/sound_fake.h"

#include <string>

#include "platform/fake.h"
#include "platform/sound.h"

static std::uint32_t Version = 2;
static bool InitFails = false;
static bool StreamFails = false;
static bool Initialised = false;
static HStream LastStream = 0;

void FakeSoundReset()
{
    Version = 2;
    InitFails = false;
    StreamFails = false;
    Initialised = false;
    LastStream = 0;
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
    return Initialised && stream != 0 && stream <= LastStream;
}

bool BASS_Free()
{
    FakeRecordCall("BASS_Free");
    const bool wasInitialised = Initialised;
    Initialised = false;
    LastStream = 0;
    return wasInitialised;
}

// The sound library without a device (capture, benchmarks, GL tests): nothing is heard, but a
// stream is only made from a file that libvorbisfile can really decode, as with the live backend.
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <string>

#include "platform/sound.h"

static constexpr std::uint32_t SoundVersion = 2;
static constexpr int DefaultOutputDevice = 1;

static bool Initialised = false;
static std::uint32_t StreamCount = 0;  // handles 1..StreamCount are live

std::uint32_t BASS_GetVersion()
{
    return SoundVersion;
}

bool BASS_Init(int device, std::uint32_t frequency, std::uint32_t, SysWindow, const void*)
{
    if (Initialised || device != DefaultOutputDevice || frequency == 0)
        return false;
    Initialised = true;
    return true;
}

bool BASS_Start()
{
    return Initialised;
}

// True when the file has Vorbis headers and its first audio decodes: a damaged file fails here
// rather than in the middle of a capture.
static bool IsDecodableVorbis(const std::string& path)
{
    OggVorbis_File vorbis;
    if (ov_fopen(path.c_str(), &vorbis) != 0)
        return false;
    bool decodable = false;
    const vorbis_info* info = ov_info(&vorbis, -1);
    if (info != nullptr && info->channels > 0 && info->rate > 0) {
        char pcm[4096];
        int section = 0;
        decodable = ov_read(&vorbis, pcm, sizeof pcm, 0, 2, 1, &section) >= 0;
    }
    ov_clear(&vorbis);
    return decodable;
}

HStream BASS_StreamCreateFile(bool fromMemory, const char* file, std::uint64_t offset, std::uint64_t length,
                              std::uint32_t)
{
    if (!Initialised || fromMemory || file == nullptr || offset != 0 || length != 0)
        return 0;
    if (!IsDecodableVorbis(SysNativePath(file))) {
        std::fprintf(stderr, "sound: %s is missing or not Ogg Vorbis\n", file);
        return 0;
    }
    return ++StreamCount;
}

bool BASS_StreamPlay(HStream stream, bool, std::uint32_t)
{
    return Initialised && stream != 0 && stream <= StreamCount;
}

bool BASS_Free()
{
    if (!Initialised)
        return false;
    Initialised = false;
    StreamCount = 0;
    return true;
}

// Nothing is heard, so there is nothing for the picture to keep in step with: no position, and
// nothing to move.
double SoundGetStreamPosition(HStream)
{
    return -1.0;
}

bool SoundSetStreamPosition(HStream, std::int32_t)
{
    return false;
}

bool SoundPauseStream(HStream, bool)
{
    return false;
}
